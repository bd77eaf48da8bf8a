// Speed control: after each setting a timed sequential read far out on the
// disc, where a drive spins fastest.
#include <cstdio>
#include <vector>

#include "ripping/ripping_check.h"
#include "ripping/speed_verdict.h"

namespace tmx {
namespace {

constexpr int32_t kChunk = 25;

}  // namespace

std::optional<double> RippingCheck::timedSpeed(int requestedX) {
  const uint16_t kbps = requestedX == 0 ? 0xFFFF : static_cast<uint16_t>(requestedX * 177);
  if (commands_.SetReadSpeed(drive_, kbps) != kAspiSuccess) return std::nullopt;
  // About a second of reading at the speed asked (at least 250 sectors).
  const int32_t sectors = std::max<int32_t>(250, (requestedX == 0 ? 52 : requestedX) * 75);
  const int32_t at = std::max<int32_t>(0, f_.speed.atLba - sectors);
  std::vector<uint8_t> buffer(kChunk * 2352);
  double seconds = 0;
  int32_t timed = 0;
  for (int32_t done = 0; done < sectors + 2 * kChunk; done += kChunk) {
    const Timed t = readAudio(at + done, kChunk, buffer.data());
    if (t.sent != Sent::Ok) return std::nullopt;
    if (done >= 2 * kChunk) {  // the first reads seek and change the spindle's speed
      seconds += t.seconds;
      timed += kChunk;
    }
  }
  return measuredSpeedX(timed, seconds);
}

void RippingCheck::speedPart() {
  beginPart(f_.speedPart, "Speed control");
  if (audioOpcode_ == 0) {
    f_.speedPart.skipped = "no read command returns whole sectors";
  } else {
    f_.speed.atLba = disc_.sectors - disc_.sectors / 10;
    for (int x : {4, 8, 16, 0}) {
      SpeedSetting s{x, timedSpeed(x)};
      f_.speed.settings.push_back(s);
      char line[100];
      if (s.measuredX) {
        std::snprintf(line, sizeof line, "  %s: read at %.1fX", x == 0 ? "maximum" : (std::to_string(x) + "X").c_str(),
                      *s.measuredX);
        status(line);
      }
      if (!f_.speedPart.cutOff.empty()) break;
    }
    const SpeedJudgement j = judgeSpeeds(f_.speed.settings);
    f_.speed.verdict = j.verdict;
    f_.speed.capX = j.capX;
    if (!j.verdict) status("  speed control could not be judged: no setting lay clearly below the drive's top speed");
  }
  endPart(99);
}

}  // namespace tmx
