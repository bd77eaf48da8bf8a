// What one run measured, in one place for every reporter (the CLI's summary,
// JSON, the graph, the DAT-load panel texts): each figure optional, nullopt
// when it was not measured, with its unit in its name; speeds in X of the
// medium, whose 1X the report carries.
//
//   const RunReport report = makeRunReport(record, RunOutcome::Completed);
//   if (report.randomSeekMs) printf("%d ms", *report.randomSeekMs);
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/test_results.h"

namespace tmx {

// How a run ended, or where its record came from. None: nothing has run yet.
enum class RunOutcome { None, Completed, Aborted, Cancelled, LoadedFromFile, NotStarted };

// "completed", "aborted", "cancelled", "loaded", or "not started" (None too).
std::string_view outcomeName(RunOutcome outcome);

// 1X of a CD: 75 sectors of 2048 bytes per second.
inline constexpr double kCdOneXBytesPerSecond = 153'600;

struct QualityMap {
  int32_t errors = 0;
  std::vector<int32_t> classes;  // per 900-sector block; -1 not read
};

struct RunReport {
  RunOutcome outcome = RunOutcome::None;
  Medium medium;  // a CD unless the run's probe found a DVD or BD
  double oneXBytesPerSecond = kCdOneXBytesPerSecond;

  std::optional<int32_t> discType;  // 0 data, 1 audio, 2 mixed
  std::optional<int32_t> discLengthSectors;

  // A transfer test ran in this record (it may have measured no zone).
  bool transferRan = false;
  std::vector<ZoneSpeed> zones;  // the measured zones, from LBA 0 on
  std::optional<int32_t> lastZone;
  std::optional<double> startX, endX, averageX;
  std::optional<std::string> readingType;

  std::optional<int32_t> daeScore;
  std::optional<bool> accurateStream;
  std::optional<int32_t> randomSeekMs, oneThirdSeekMs, fullSeekMs;
  std::array<std::optional<int32_t>, 4> cpuPercent;  // at 1X, 2X, 4X, 8X
  std::optional<int32_t> burstMBps;
  std::optional<double> spinUpSeconds, spinDownSeconds;
  std::optional<QualityMap> qualityCheck;  // a CD's C2 check
  std::optional<ReadScan> readScan;        // a DVD's or BD's check
};

// The measured zones of a record: samples from zone 0 up to the first that is
// not a finite speed (the -1.0 that ends the list, the NaN of a reset), at
// most `maxZones`.
int measuredZoneCount(const TestResults& record, int maxZones = kSpeedSampleCount);
std::vector<ZoneSpeed> measuredZones(const TestResults& record, int maxZones = kSpeedSampleCount);

// The reading type once at least three zones up to the last are measured:
// fewer cannot tell a flat curve from a rising one. A DVD's or BD's curve is
// read by its own rule (mediumReadingType).
std::optional<std::string> readingTypeOf(const TestResults& record);

// The report of a record. Its persisted figures count only once a run's reset
// or a load has written them (a CD quality check alone leaves the zeros of
// program start); a loaded file carries no reading type and no spin times.
RunReport makeRunReport(const TestResults& record, RunOutcome outcome, bool qualityCheck = false);

}  // namespace tmx
