#include "ripping/speed_verdict.h"

#include <algorithm>

namespace tmx {
namespace {

constexpr double kTolerance = 0.15;

}  // namespace

double measuredSpeedX(int32_t sectors, double seconds) { return seconds > 0 ? sectors / seconds / 75.0 : 0.0; }

SpeedJudgement judgeSpeeds(const std::vector<SpeedSetting>& settings) {
  std::optional<double> top;
  for (const SpeedSetting& s : settings) {
    if (s.requestedX == 0 && s.measuredX) top = *s.measuredX;
  }
  SpeedJudgement j;
  if (!top) return j;
  int obeyed = 0, ignored = 0, capped = 0;
  double cap = 0;
  for (const SpeedSetting& s : settings) {
    // Only a setting clearly below the top speed tells anything.
    if (s.requestedX == 0 || !s.measuredX || s.requestedX > *top * (1 - kTolerance)) continue;
    const double m = *s.measuredX;
    if (m >= *top * (1 - kTolerance)) {
      ++ignored;
    } else if (m < s.requestedX * (1 - kTolerance)) {
      ++capped;
      cap = std::max(cap, m);
    } else {
      ++obeyed;
    }
  }
  if (capped > 0) {
    j.verdict = SpeedVerdict::Capped;
    j.capX = cap;
  } else if (ignored > 0 && obeyed == 0) {
    j.verdict = SpeedVerdict::Ignored;
  } else if (obeyed > 0 && ignored == 0) {
    j.verdict = SpeedVerdict::Obeyed;
  }
  return j;
}

}  // namespace tmx
