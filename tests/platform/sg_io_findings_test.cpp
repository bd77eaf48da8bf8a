// What the user reads when the scan of the kernel's SCSI devices opened no
// drive: the cause that applies first, with its fix.
#include <gtest/gtest.h>

#include "platform/sg_io_findings.h"

namespace tmx {
namespace {

TEST(UnreachableDrives, EachCauseWithItsFix) {
  SgIoFindings nothing;  // no sg driver, no node, no device: a machine without a SCSI layer
  EXPECT_EQ(unreachableDrivesText(nothing),
            "No CD-ROM drive can be reached: the sg module is not loaded and there is no /dev/sg*. "
            "Load it (sudo modprobe sg) and start the program again.");

  SgIoFindings denied;
  denied.sgDriverLoaded = denied.sgNodes = true;
  denied.opticalDevices = 1;
  denied.denied = {"/dev/sg1"};
  EXPECT_EQ(unreachableDrivesText(denied),
            "Cannot open the CD-ROM drive /dev/sg1: permission denied. Optical drives belong to the 'cdrom' group: "
            "add yourself (sudo usermod -aG cdrom \"$USER\") and log in again.");

  // Only sr nodes, refused: the group first, and sg for the commands sr keeps from users.
  SgIoFindings deniedSr;
  deniedSr.opticalDevices = 2;
  deniedSr.denied = {"/dev/sr0", "/dev/sr1"};
  deniedSr.failed = {"/dev/sr2: No such file or directory"};
  EXPECT_EQ(unreachableDrivesText(deniedSr),
            "Cannot open the CD-ROM drives /dev/sr0, /dev/sr1: permission denied. Optical drives belong to the "
            "'cdrom' group: add yourself (sudo usermod -aG cdrom \"$USER\") and log in again. Load the sg module "
            "too (sudo modprobe sg): through /dev/sr* the kernel refuses some commands to users who are not root.");

  // sg nodes in /dev from an earlier boot or a static /dev: the driver is what is missing only when both are.
  SgIoFindings staleNodes;
  staleNodes.sgNodes = true;
  staleNodes.opticalDevices = 1;
  staleNodes.failed = {"/dev/sg0: No such device or address"};
  EXPECT_EQ(unreachableDrivesText(staleNodes), "Cannot open the CD-ROM drive /dev/sg0: No such device or address");
  staleNodes.failed.push_back("/dev/sg1: Device or resource busy");
  EXPECT_EQ(unreachableDrivesText(staleNodes),
            "Cannot open the CD-ROM drives /dev/sg0: No such device or address; /dev/sg1: Device or resource busy");

  SgIoFindings noDrive;  // a working layer with disks only
  noDrive.sgDriverLoaded = noDrive.sgNodes = true;
  EXPECT_EQ(unreachableDrivesText(noDrive), "No CD-ROM drives found");
}

}  // namespace
}  // namespace tmx
