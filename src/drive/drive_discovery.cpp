#include "drive/drive_discovery.h"

namespace tmx {

std::string TrimTrailingBlanks(std::string_view text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string formatDriveLine(DriveAddress drive, const InquiryTexts& texts) {
  return " [" + std::to_string(drive.hostAdapter) + ":" + std::to_string(drive.target) + "]   " +
         TrimTrailingBlanks(texts.vendor) + " " + TrimTrailingBlanks(texts.product) + " V" +
         TrimTrailingBlanks(texts.revision);
}

std::vector<std::string> scanDrives(DriveCommands& commands, DriveTable& table) {
  std::vector<std::string> lines;
  table.count = 0;
  table.selected = 0;
  for (int host = 0; host < kScanHostAdapters; ++host) {
    for (int target = 0; target < kScanTargets; ++target) {
      const DriveAddress drive{static_cast<uint8_t>(host), static_cast<uint8_t>(target)};
      InquiryTexts texts;
      if (!commands.Inquiry(drive, texts)) continue;
      table.entries[static_cast<size_t>(table.count++)] = drive;
      lines.push_back(formatDriveLine(drive, texts));
    }
  }
  return lines;
}

}  // namespace tmx
