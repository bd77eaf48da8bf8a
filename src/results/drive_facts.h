// What a save or a report needs to know of the drive, gathered by the caller
// (results/ sends no drive commands).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tmx {

struct DriveFacts {
  // INQUIRY texts as the drive returned them, trailing blanks kept
  // (vendor 8, product 16, revision 4 characters).
  std::string vendor;
  std::string product;
  std::string revision;
  // ModeSenseSpeeds: its status (1 = success) and the current read speed, KB/s.
  int speedsStatus = 0;
  int currentReadSpeed = -1;
};

// "%s%s V%s" of vendor, product and revision with every character of
// "/\?*<>|:", every blank and every control character replaced by '_', then
// `extension` (".dat", ".txt").
// Example: "ABC     " "CDROM 40X       " "1.0a" -> "ABC_____CDROM_40X________V1.0a.dat".
std::string proposedFileName(const DriveFacts& drive, std::string_view extension);

// The readSpeed a DAT save stores: the current speed, or -1 when the mode
// sense failed (its reply is then not trusted).
int32_t storedReadSpeed(const DriveFacts& drive);

}  // namespace tmx
