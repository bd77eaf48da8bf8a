#include "results/test_results.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "results/persisted_block.h"

namespace tmx {
namespace {

// Samples are truncated toward zero for the shape analysis. A NaN (an entry
// never set) and values beyond int range would be undefined to convert, so
// they become -1 and the range limits.
int64_t truncatedSample(double sample) {
  if (std::isnan(sample)) return -1;
  constexpr double kLimit = 1e15;
  return static_cast<int64_t>(std::clamp(sample, -kLimit, kLimit));
}

}  // namespace

void resetRecord(TestResults& results) {
  PersistedBlock block;
  block.fill(0xFF);
  std::memcpy(block.data(), kFormatVersion.data(), kFormatVersion.size());
  block[kFormatVersion.size()] = 0;
  decodePersistedBlock(block, results);
  results.spinUpTime = -1.0;
  results.spinDownTime = -1.0;
  results.media.zones.clear();
  results.media.plannedZones = 0;
  results.media.scan = ReadScan{};
}

void clearSpeedSamples(TestResults& results) { results.speedSamples.fill(-1.0); }

void storeSpeedSample(TestResults& results, int zone, double sample) {
  if (zone < 0 || zone >= kSpeedSampleCount) return;
  results.speedSamples[static_cast<size_t>(zone)] = sample;
  if (zone + 1 < kSpeedSampleCount) results.speedSamples[static_cast<size_t>(zone) + 1] = -1.0;
}

int32_t lastZoneFor(int32_t discLength) {
  return std::max(-1, std::min(discLength / kSectorsPerZone - 1, kMaxLastZone));
}

std::optional<double> averageSpeed(const TestResults& results) {
  double sum = 0.0;
  int count = 0;
  for (double sample : results.speedSamples) {
    if (sample == -1.0 || std::isnan(sample)) break;
    sum += sample;
    ++count;
  }
  if (count == 0) return std::nullopt;
  return sum / (count * 5.0);
}

std::string_view readingType(const TestResults& results) {
  const auto& samples = results.speedSamples;
  const int last = std::min(results.lastZone, kSpeedSampleCount - 1);
  std::array<int64_t, kSpeedSampleCount> v{};
  std::transform(samples.begin(), samples.end(), v.begin(), truncatedSample);

  // Smooth single dips; a low last zone takes its predecessor's value.
  for (int i = 1; i <= last; ++i) {
    if (v[i] >= v[i - 1]) continue;
    v[i] = (i == last) ? v[i - 1] : (v[i + 1] + v[i - 1]) / 2;
    if (v[i] < v[i - 1]) v[i] = truncatedSample(samples[i]);
  }

  // From the top down: rises of more than 1, and flat steps before any rise.
  int rises = 0;
  int flats = 0;
  bool riseSeen = false;
  for (int i = last; i >= 1; --i) {
    if (v[i] - v[i - 1] > 1) {
      ++rises;
      riseSeen = true;
    } else if (!riseSeen) {
      ++flats;
    }
  }

  if (flats >= 2 && rises >= 3) return "P-CAV";
  if (flats < 2) return "CAV";
  return "CLV";
}

std::string_view formatVersionText(const TestResults& results) {
  const auto& bytes = results.formatVersion;
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return {reinterpret_cast<const char*>(bytes.data()), static_cast<size_t>(end - bytes.begin())};
}

bool spinTimeMeasured(double seconds) { return seconds != -1.0; }

}  // namespace tmx
