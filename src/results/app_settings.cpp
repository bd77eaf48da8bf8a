#include "results/app_settings.h"

#include <algorithm>

namespace tmx {
namespace {

constexpr int kMaxBurstKB = 384;

uint32_t bits(uint32_t word, int first, int width) { return (word >> first) & ((1u << width) - 1); }

}  // namespace

AppSettings unpackSettings(const SettingsWordArray& words) {
  const uint32_t w = words[0];
  AppSettings s;

  const int testLength = static_cast<int>(bits(w, 0, 3));
  // 0 would divide the tests' work by zero; 7 is one past the list.
  s.testLength = testLength == 0 ? 1 : std::min(testLength, 6);

  s.runTransferRate = bits(w, 3, 1);
  s.runDaeQuality = bits(w, 4, 1);
  s.runCpuUtilization = bits(w, 5, 1);
  s.runSeekTimes = bits(w, 6, 1);
  s.runBurstRate = bits(w, 7, 1);
  s.runSpinUpDown = bits(w, 8, 1);
  s.showRpm = bits(w, 9, 1);

  const int burst = static_cast<int>(bits(w, 10, 9));
  s.burstLengthKB = burst == kMaxBurstKB ? burst : std::max(burst % kMaxBurstKB, 2);

  const int maxSpeed = static_cast<int>(bits(w, 19, 13));
  s.graphMaxSpeed = std::clamp(maxSpeed == 0 ? 50 : maxSpeed, 10, 100);

  s.rpmColor = words[1];
  s.transferRateColor = words[2];
  return s;
}

SettingsWordArray packSettings(const AppSettings& s) {
  uint32_t w = static_cast<uint32_t>(std::clamp(s.testLength, 1, 6));
  w |= (s.runTransferRate ? 1u : 0u) << 3;
  w |= (s.runDaeQuality ? 1u : 0u) << 4;
  w |= (s.runCpuUtilization ? 1u : 0u) << 5;
  w |= (s.runSeekTimes ? 1u : 0u) << 6;
  w |= (s.runBurstRate ? 1u : 0u) << 7;
  w |= (s.runSpinUpDown ? 1u : 0u) << 8;
  w |= (s.showRpm ? 1u : 0u) << 9;
  w |= static_cast<uint32_t>(std::clamp(s.burstLengthKB, 2, kMaxBurstKB)) << 10;
  w |= static_cast<uint32_t>(std::clamp(s.graphMaxSpeed, 10, 100)) << 19;
  return {w, s.rpmColor, s.transferRateColor};
}

}  // namespace tmx
