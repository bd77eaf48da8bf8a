// What the SG_IO scan found of the kernel's SCSI layer, and why no drive can
// be reached from it, in the words of the fix.
//
//   SgIoFindings found;                 // no sg driver, no /dev/sg*
//   unreachableDrivesText(found);       // "No CD-ROM drive can be reached: ... sudo modprobe sg ..."
#pragma once

#include <string>
#include <vector>

namespace tmx {

struct SgIoFindings {
  bool sgDriverLoaded = false;  // the kernel lists the scsi_generic class
  bool sgNodes = false;         // the device folder holds an sg node
  int opticalDevices = 0;       // CD/DVD devices the kernel lists
  int opened = 0;               // of those, the ones whose node opened
  // One node per drive that could not be opened: for lack of permission, and
  // for any other reason ("/dev/sg1: No such file or directory").
  std::vector<std::string> denied;
  std::vector<std::string> failed;
};

// For a scan that opened no drive: why, and what to do. "No CD-ROM drives
// found" when the layer is there and simply has no optical drive.
std::string unreachableDrivesText(const SgIoFindings& found);

}  // namespace tmx
