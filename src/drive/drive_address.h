// One drive: host adapter number and target id. The logical unit is always 0.
#pragma once

#include <cstdint>

namespace tmx {

struct DriveAddress {
  uint8_t hostAdapter = 0;
  uint8_t target = 0;
  friend bool operator==(const DriveAddress&, const DriveAddress&) = default;
};

// 1 = success; any other value is a failure; -1 = nothing was sent.
using AspiStatus = int;
inline constexpr AspiStatus kAspiSuccess = 1;
inline constexpr AspiStatus kAspiNotSent = -1;

}  // namespace tmx
