#include "results/drive_facts.h"

namespace tmx {

std::string proposedFileName(const DriveFacts& drive, std::string_view extension) {
  std::string name = drive.vendor + drive.product + " V" + drive.revision;
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    // Control characters (a NUL-padded INQUIRY field among them) make no file name either.
    if (std::string_view("/\\?*<>|: ").find(c) != std::string_view::npos || u < 0x20 || u == 0x7F) c = '_';
  }
  name += extension;
  return name;
}

int32_t storedReadSpeed(const DriveFacts& drive) { return drive.speedsStatus == 1 ? drive.currentReadSpeed : -1; }

}  // namespace tmx
