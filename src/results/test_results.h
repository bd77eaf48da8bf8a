// TestResults: what the current run has measured, or what a loaded DAT file
// holds. The persisted members are the DAT record (see persisted_block.h for
// their byte image); the live members exist only in memory.
//
// A value that was not measured is -1 (ints) or -1.0 (doubles), never 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "results/medium_results.h"

namespace tmx {

inline constexpr int kSpeedSampleCount = 50;
inline constexpr int kQualityBlockCount = 500;
inline constexpr int kSectorsPerZone = 9000;
inline constexpr int kMaxLastZone = 40;
inline constexpr std::string_view kFormatVersion = "0.6B";

struct TestResults {
  // Persisted block. Right after program start it is all zero; see resetRecord.
  std::array<uint8_t, 8> formatVersion{};  // NUL-terminated text, raw bytes kept
  int32_t discLength = 0;                  // sectors
  int32_t discType = 0;                    // 0 data, 1 audio, 2 mixed, -1 unreadable TOC
  // Zone k starts at LBA k * 9000; unit 0.2X. -1.0 ends the measured list;
  // never-set entries hold the all-FFh NaN of the reset.
  std::array<double, kSpeedSampleCount> speedSamples{};
  int32_t daeScore = 0;        // 0..10
  int32_t accurateStream = 0;  // 1 yes, 0 no
  std::array<int32_t, 4> cpuUsage{};  // percent at 1X, 2X, 4X, 8X
  int32_t randomSeekMs = 0;
  int32_t oneThirdSeekMs = 0;
  int32_t fullSeekMs = 0;
  int32_t burstRate = 0;  // MB/s
  int32_t readSpeed = 0;  // KB/s, taken when the DAT file is saved
  std::array<uint8_t, 4> reserved{};

  // Live members.
  double spinUpTime = -1.0;    // seconds; exactly -1.0 = not measured
  double spinDownTime = -1.0;  // seconds; exactly -1.0 = not measured
  int32_t daeErrors = 0;
  std::array<int32_t, kQualityBlockCount> qualityMap = filledQualityMap();  // -1 = block not read
  int32_t qualityErrors = 0;
  int32_t lastZone = 0;
  // A DVD's or BD's figures beyond the CD-shaped block; the medium of a CD run.
  MediumResults media;

  static constexpr std::array<int32_t, kQualityBlockCount> filledQualityMap() {
    std::array<int32_t, kQualityBlockCount> map{};
    map.fill(-1);
    return map;
  }
};

// The reset of a run: the whole persisted block becomes FFh bytes (every int
// -1, every sample a NaN), formatVersion "0.6B" with its NUL, both spin times
// -1.0, the medium's zones and scan emptied. The other live members keep
// their values (the medium among them).
void resetRecord(TestResults& results);

// Start of a transfer test or of the CD quality check: every sample -1.0.
void clearSpeedSamples(TestResults& results);
// Stores the sample of `zone` and the -1.0 that ends the list after it; a zone
// outside 0..49 is ignored.
void storeSpeedSample(TestResults& results, int zone, double sample);

// Index of the last transfer-rate zone for a disc of `discLength` sectors:
// discLength / 9000 - 1, at most 40; -1 for a disc shorter than one zone.
int32_t lastZoneFor(int32_t discLength);

// Mean of the measured samples, in X: the samples from index 0 up to the first
// -1.0 or NaN. nullopt when there is none (a transfer test stopped before its
// first zone).
std::optional<double> averageSpeed(const TestResults& results);

// "CLV", "CAV" or "P-CAV" from the shape of samples 0..lastZone.
std::string_view readingType(const TestResults& results);

// The version text: up to the first NUL, at most 8 characters.
std::string_view formatVersionText(const TestResults& results);

// True when a spin time holds a measurement (anything but exactly -1.0).
bool spinTimeMeasured(double seconds);

}  // namespace tmx
