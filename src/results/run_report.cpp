#include "results/run_report.h"

#include <algorithm>
#include <cmath>

#include "results/medium_curve.h"

namespace tmx {
namespace {

std::optional<int32_t> measured(int32_t value) { return value == -1 ? std::nullopt : std::optional(value); }

std::optional<double> measuredSeconds(double seconds) {
  return spinTimeMeasured(seconds) && std::isfinite(seconds) ? std::optional(seconds) : std::nullopt;
}

// A reset always writes the format version; a record that never had one
// holds the zeros of program start, which measured nothing.
bool persistedWritten(const TestResults& record, RunOutcome outcome) {
  const auto& version = record.formatVersion;
  return outcome == RunOutcome::LoadedFromFile ||
         std::any_of(version.begin(), version.end(), [](uint8_t b) { return b != 0; });
}

// A DVD's or BD's zones are the medium results' own, in its X.
void addMediumTransfer(const MediumResults& media, RunReport& report) {
  report.transferRan = media.plannedZones > 0;
  if (!report.transferRan) return;
  for (const ZoneSpeed& zone : media.zones) {
    if (!(zone.speedX >= 0) || !std::isfinite(zone.speedX)) break;
    report.zones.push_back(zone);
  }
  report.lastZone = media.plannedZones - 1;
  if (report.zones.empty()) return;
  report.startX = report.zones.front().speedX;
  double sum = 0;
  for (const ZoneSpeed& zone : report.zones) sum += zone.speedX;
  report.averageX = sum / static_cast<double>(report.zones.size());
  if (static_cast<int32_t>(report.zones.size()) == media.plannedZones) {
    report.endX = report.zones.back().speedX;
    report.readingType = mediumReadingType(report.zones, media.medium);
  }
}

void addTransfer(const TestResults& r, RunReport& report) {
  if (r.media.medium.kind != MediumKind::CD) {
    addMediumTransfer(r.media, report);
    return;
  }
  // Zone 0 still holding 0.0 or NaN: no transfer test in this record.
  const double first = r.speedSamples[0];
  report.transferRan = first != 0.0 && !std::isnan(first);
  if (!report.transferRan) return;
  report.zones = measuredZones(r);
  report.lastZone = measured(r.lastZone);
  if (report.zones.empty()) return;
  report.startX = report.zones.front().speedX;
  const int32_t endIndex = lastZoneFor(r.discLength);
  if (endIndex >= 0 && static_cast<size_t>(endIndex) < report.zones.size()) {
    report.endX = report.zones[static_cast<size_t>(endIndex)].speedX;
  }
  report.averageX = averageSpeed(r);
  if (report.outcome != RunOutcome::LoadedFromFile) report.readingType = readingTypeOf(r);
}

}  // namespace

std::string_view outcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Completed: return "completed";
    case RunOutcome::Aborted: return "aborted";
    case RunOutcome::Cancelled: return "cancelled";
    case RunOutcome::LoadedFromFile: return "loaded";
    case RunOutcome::None:
    case RunOutcome::NotStarted: break;
  }
  return "not started";
}

int measuredZoneCount(const TestResults& record, int maxZones) {
  const int limit = std::min(maxZones, kSpeedSampleCount);
  int count = 0;
  while (count < limit) {
    const double sample = record.speedSamples[static_cast<size_t>(count)];
    if (!std::isfinite(sample) || sample < 0.0) break;
    ++count;
  }
  return count;
}

std::vector<ZoneSpeed> measuredZones(const TestResults& record, int maxZones) {
  std::vector<ZoneSpeed> zones;
  const int count = measuredZoneCount(record, maxZones);
  for (int i = 0; i < count; ++i) zones.push_back({i * kSectorsPerZone, record.speedSamples[static_cast<size_t>(i)] / 5.0});
  return zones;
}

std::optional<std::string> readingTypeOf(const TestResults& record) {
  const int32_t last = record.lastZone;
  if (last < 2 || measuredZoneCount(record, last + 1) < last + 1) return std::nullopt;
  return std::string(readingType(record));
}

RunReport makeRunReport(const TestResults& r, RunOutcome outcome, bool qualityCheck) {
  RunReport report;
  report.outcome = outcome;
  report.medium = r.media.medium;
  report.oneXBytesPerSecond = r.media.medium.oneXBytesPerSecond();
  const bool written = persistedWritten(r, outcome);
  // A quality check fills only the disc facts, from the probe.
  if (written || r.discLength > 0) {
    report.discType = measured(r.discType);
    report.discLengthSectors = measured(r.discLength);
  }
  if (written) {
    addTransfer(r, report);
    report.daeScore = measured(r.daeScore);
    if (r.accurateStream != -1) report.accurateStream = r.accurateStream == 1;
    report.randomSeekMs = measured(r.randomSeekMs);
    report.oneThirdSeekMs = measured(r.oneThirdSeekMs);
    report.fullSeekMs = measured(r.fullSeekMs);
    for (size_t i = 0; i < report.cpuPercent.size(); ++i) report.cpuPercent[i] = measured(r.cpuUsage[i]);
    report.burstMBps = measured(r.burstRate);
  }
  if (outcome != RunOutcome::LoadedFromFile) {
    report.spinUpSeconds = measuredSeconds(r.spinUpTime);
    report.spinDownSeconds = measuredSeconds(r.spinDownTime);
  }
  if (qualityCheck && r.media.medium.kind == MediumKind::CD) {
    report.qualityCheck = QualityMap{r.qualityErrors, {r.qualityMap.begin(), r.qualityMap.end()}};
  } else if (qualityCheck) {
    report.readScan = r.media.scan;
  }
  return report;
}

}  // namespace tmx
