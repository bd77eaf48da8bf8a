// Finds the CD-ROM drives: INQUIRY at host adapters 0-7, targets 0-15.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drive/drive_commands.h"
#include "drive/drive_table.h"

namespace tmx {

inline constexpr int kScanHostAdapters = 8;
inline constexpr int kScanTargets = 16;

std::string TrimTrailingBlanks(std::string_view text);

// " [%d:%d]   %s %s V%s" with the texts' trailing blanks removed.
std::string formatDriveLine(DriveAddress drive, const InquiryTexts& texts);

// Fills `table` (count, entries; selected = 0) and returns the drive list's
// lines in the same order. Devices that are not CD-ROMs are skipped silently.
std::vector<std::string> scanDrives(DriveCommands& commands, DriveTable& table);

}  // namespace tmx
