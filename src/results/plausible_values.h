// What a results record can hold when a drive measured it: the physical range
// of every persisted figure. A DAT file written by another program, damaged,
// or made by hand can hold anything; a value outside its range is shown as
// not measured, never as a measurement.
#pragma once

#include "results/test_results.h"

namespace tmx {

// Bounds, generous beyond any real CD drive and interface.
inline constexpr int32_t kMaxDiscSectors = 100 * 4500;  // 100 minutes
inline constexpr double kMaxSpeedSample = 100.0 * 5;    // 100X, in 0.2X units
inline constexpr int32_t kMaxSeekMs = 10'000;
inline constexpr int32_t kMaxBurstMBps = 10'000;
inline constexpr int32_t kMaxReadSpeedKBps = 0xFFFF;  // a 16-bit field of the drive's page

// Replaces every persisted value outside its range by its not-measured marker
// (-1; -1.0 for a speed sample, which ends the measured list there). Returns
// how many were replaced.
int clearImpossibleValues(TestResults& results);

// Whether the version text is one this program writes ("0.6B").
bool knownFormatVersion(const TestResults& results);

}  // namespace tmx
