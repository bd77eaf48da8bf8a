// Speed control from timed reads after each setting: a setting well below
// what the drive reaches at the maximum is obeyed when the read ran at about
// it, ignored when it ran at about the maximum's speed, capped when it ran
// clearly slower than asked though the drive can go faster.
//   judgeSpeeds({{4, 4.1}, {8, 8.0}, {16, 8.1}, {0, 24.6}})  ->  capped at 8.1X
#pragma once

#include <optional>
#include <vector>

#include "ripping/ripping_features.h"

namespace tmx {

struct SpeedJudgement {
  std::optional<SpeedVerdict> verdict;
  std::optional<double> capX;
};
SpeedJudgement judgeSpeeds(const std::vector<SpeedSetting>& settings);

// X of a CD read: sectors over seconds at 75 sectors a second.
double measuredSpeedX(int32_t sectors, double seconds);

}  // namespace tmx
