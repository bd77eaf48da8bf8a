#include "results/plausible_values.h"

#include <cmath>

namespace tmx {
namespace {

// Clears `value` unless it is the not-measured -1 or within [low, high].
int clearUnless(int32_t& value, int32_t low, int32_t high) {
  if (value == -1 || (value >= low && value <= high)) return 0;
  value = -1;
  return 1;
}

}  // namespace

int clearImpossibleValues(TestResults& r) {
  int cleared = clearUnless(r.discLength, 1, kMaxDiscSectors);
  cleared += clearUnless(r.discType, 0, 2);
  for (double& sample : r.speedSamples) {
    // NaN: never set; -1.0 ends the list; 0.0 is the record of no run at all.
    if (std::isnan(sample) || sample == -1.0 || (sample >= 0.0 && sample <= kMaxSpeedSample)) continue;
    sample = -1.0;
    ++cleared;
  }
  cleared += clearUnless(r.daeScore, 0, 10);
  cleared += clearUnless(r.accurateStream, 0, 1);
  for (int32_t& cpu : r.cpuUsage) cleared += clearUnless(cpu, 0, 100);
  cleared += clearUnless(r.randomSeekMs, 0, kMaxSeekMs);
  cleared += clearUnless(r.oneThirdSeekMs, 0, kMaxSeekMs);
  cleared += clearUnless(r.fullSeekMs, 0, kMaxSeekMs);
  cleared += clearUnless(r.burstRate, 0, kMaxBurstMBps);
  cleared += clearUnless(r.readSpeed, 0, kMaxReadSpeedKBps);
  return cleared;
}

bool knownFormatVersion(const TestResults& results) { return formatVersionText(results) == kFormatVersion; }

}  // namespace tmx
