#include "platform/sg_io_findings.h"

namespace tmx {
namespace {

std::string joined(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : separator) + item;
  return text;
}

const char* drives(size_t count) { return count == 1 ? "the CD-ROM drive " : "the CD-ROM drives "; }

}  // namespace

std::string unreachableDrivesText(const SgIoFindings& found) {
  if (!found.denied.empty()) {
    std::string text = std::string("Cannot open ") + drives(found.denied.size()) + joined(found.denied, ", ") +
                       ": permission denied. Optical drives belong to the 'cdrom' group: add yourself "
                       "(sudo usermod -aG cdrom \"$USER\") and log in again.";
    if (!found.sgDriverLoaded) {
      text += " Load the sg module too (sudo modprobe sg): through /dev/sr* the kernel refuses some commands to "
              "users who are not root.";
    }
    return text;
  }
  if (!found.sgDriverLoaded && !found.sgNodes) {
    return "No CD-ROM drive can be reached: the sg module is not loaded and there is no /dev/sg*. "
           "Load it (sudo modprobe sg) and start the program again.";
  }
  if (!found.failed.empty()) return std::string("Cannot open ") + drives(found.failed.size()) + joined(found.failed, "; ");
  return "No CD-ROM drives found";
}

}  // namespace tmx
