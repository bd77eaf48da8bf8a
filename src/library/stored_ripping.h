// A ripping-features check as the results library keeps it: the drive, the
// disc, when and how it ended, its verdict, its answers as the JSON text of
// the "ripping" object and its text lines. Plain data; a check fills no
// record of a run, so it is kept apart from StoredRun.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/stored_run.h"

namespace tmx {

// One line of the list of checks.
struct RippingCheckSummary {
  int64_t id = 0;
  std::string utcTime;  // "2026-12-09T06:14:26Z"
  bool stopped = false;  // Stop ended it before its last part
  std::string drive;  // "VENDOR PRODUCT REV"
  std::string disc;   // "CD audio 74:00.00"
  std::string verdict{};
};

struct StoredRippingCheck {
  RippingCheckSummary summary;
  StoredDrive drive{};
  StoredDisc disc{};
  std::string programVersion{};
  std::string answersJson{};       // the "ripping" object, as JSON text
  std::vector<std::string> lines{};  // the answers as text, one a line
};

}  // namespace tmx
