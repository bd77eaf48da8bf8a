#include "cli/json_report.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

namespace tmx::cli {
namespace {

using nlohmann::json;

json intOrNull(int32_t value) { return value == -1 ? json(nullptr) : json(value); }
json secondsOrNull(double value) { return spinTimeMeasured(value) && std::isfinite(value) ? json(value) : json(nullptr); }
json textOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

// The persisted results hold values only once a run's reset or a DAT load has
// written them; until then (the CD quality check on its own) they are the
// zeros of program start, and a reset always writes the format version.
bool persistedResultsWritten(const JsonReportInput& in) {
  const auto& version = in.record.formatVersion;
  return in.outcome == "loaded" || std::any_of(version.begin(), version.end(), [](uint8_t b) { return b != 0; });
}

}  // namespace

std::string formatJsonReport(const JsonReportInput& in) {
  TestResults r = in.record;
  const bool written = persistedResultsWritten(in);
  if (!written) {
    // Nothing measured: every persisted result reads as not measured.
    r.daeScore = r.accurateStream = -1;
    r.randomSeekMs = r.oneThirdSeekMs = r.fullSeekMs = r.burstRate = -1;
    r.cpuUsage.fill(-1);
  }
  // Zone 0 still holding 0.0 or NaN: no transfer test in this record.
  const double first = r.speedSamples[0];
  const bool transferTested = written && first != 0.0 && !std::isnan(first);
  json samples = json::array();
  for (double s : r.speedSamples) {
    if (!transferTested || !std::isfinite(s) || s == -1.0) break;
    samples.push_back(s / 5.0);
  }
  json cpu = json::array();
  for (int32_t c : r.cpuUsage) cpu.push_back(intOrNull(c));

  // A quality check fills only the disc facts, from the probe.
  const bool discKnown = written || r.discLength > 0;
  json out = {
      {"outcome", in.outcome},
      {"drive", {{"vendor", in.drive.vendor}, {"product", in.drive.product}, {"revision", in.drive.revision}}},
      {"disc",
       {{"type", discKnown ? json(r.discType) : json(nullptr)},
        {"typeText", textOrNull(in.texts.discTypeText)},
        {"lengthSectors", discKnown ? json(r.discLength) : json(nullptr)}}},
      {"transferRate",
       {{"zoneSpeedsX", samples},
        {"lastZone", transferTested ? intOrNull(r.lastZone) : json(nullptr)},
        {"start", textOrNull(in.texts.startText)},
        {"end", textOrNull(in.texts.endText)},
        {"average", textOrNull(in.texts.averageText)},
        {"readingType", textOrNull(in.texts.readingTypeText)}}},
      {"seekMs",
       {{"random", intOrNull(r.randomSeekMs)},
        {"oneThird", intOrNull(r.oneThirdSeekMs)},
        {"full", intOrNull(r.fullSeekMs)}}},
      {"cpuPercent", {{"1x", cpu[0]}, {"2x", cpu[1]}, {"4x", cpu[2]}, {"8x", cpu[3]}}},
      {"burstMBps", intOrNull(r.burstRate)},
      {"spinSeconds", {{"up", secondsOrNull(r.spinUpTime)}, {"down", secondsOrNull(r.spinDownTime)}}},
      {"dae", {{"score", intOrNull(r.daeScore)}, {"accurateStream", r.accurateStream == -1 ? json(nullptr) : json(r.accurateStream == 1)}}},
      {"statusLines", in.statusLines},
  };
  if (in.qualityMap) {
    json map = json::array();
    for (int32_t c : r.qualityMap) map.push_back(c);
    out["qualityCheck"] = {{"errors", r.qualityErrors}, {"map", map}, {"sectorsPerBlock", 900}};
  }
  // Drive and file texts may hold bytes that are not UTF-8: replaced, never thrown on.
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tmx::cli
