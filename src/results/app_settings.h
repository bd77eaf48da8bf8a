// AppSettings: the user's options, and their packing into the three stored
// words (pure functions; the file around them is platform/settings_file.h).
//
// value0, least significant bit first: testLength (3 bits), runTransferRate,
// runDaeQuality, runCpuUtilization, runSeekTimes, runBurstRate, runSpinUpDown,
// showRpm (1 bit each), burstLengthKB (9 bits), graphMaxSpeed (13 bits).
// value1 = rpmColor, value2 = transferRateColor, colours as 0x00BBGGRR.
#pragma once

#include <cstdint>

#include "platform/settings_file.h"

namespace tmx {

struct AppSettings {
  int testLength = 1;  // 1..6: the tests divide the work at each point by it
  bool runTransferRate = true;
  bool runDaeQuality = true;
  bool runCpuUtilization = true;
  bool runSeekTimes = true;
  bool runBurstRate = false;
  bool runSpinUpDown = true;
  bool showRpm = true;
  int burstLengthKB = 32;  // 2..384
  int graphMaxSpeed = 50;  // 10..100, X
  uint32_t rpmColor = 0x0000FFFF;
  uint32_t transferRateColor = 0x0000FF00;
  int readSpeedIndex = 0;  // options dialog selection; never stored
  // The graph's full scale follows the drive's maximum read speed for the
  // medium; stored beside the words. Off here (the fixed scale above); a
  // user without a settings file starts with it on (loadSettings).
  bool graphAutoScale = false;

  bool operator==(const AppSettings&) const = default;
};

// The words of the defaults above.
inline constexpr SettingsWordArray kDefaultSettingsWords = {0x01908379u, 0x0000FFFFu, 0x0000FF00u};

// Brings stored fields into range: testLength 7 -> 6 and 0 -> 1; burstLengthKB
// modulo 384 (384 itself kept) and at least 2; graphMaxSpeed 0 -> 50, then
// 10..100. Colours are taken as they are.
AppSettings unpackSettings(const SettingsWordArray& words);
// Members are first brought into their ranges (testLength 1..6, burstLengthKB
// 2..384, graphMaxSpeed 10..100) so no field spills into the next.
SettingsWordArray packSettings(const AppSettings& settings);

}  // namespace tmx
