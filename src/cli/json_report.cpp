#include "cli/json_report.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace tmx::cli {
namespace {

using nlohmann::json;

json intOrNull(int32_t value) { return value == -1 ? json(nullptr) : json(value); }
json secondsOrNull(double value) { return spinTimeMeasured(value) && std::isfinite(value) ? json(value) : json(nullptr); }
json textOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

}  // namespace

std::string formatJsonReport(const JsonReportInput& in) {
  const TestResults& r = in.record;
  json samples = json::array();
  for (double s : r.speedSamples) {
    if (!std::isfinite(s) || s == -1.0) break;
    samples.push_back(s / 5.0);
  }
  json cpu = json::array();
  for (int32_t c : r.cpuUsage) cpu.push_back(intOrNull(c));

  json out = {
      {"outcome", in.outcome},
      {"drive", {{"vendor", in.drive.vendor}, {"product", in.drive.product}, {"revision", in.drive.revision}}},
      {"disc",
       {{"type", r.discType}, {"typeText", textOrNull(in.texts.discTypeText)}, {"lengthSectors", r.discLength}}},
      {"transferRate",
       {{"zoneSpeedsX", samples},
        {"lastZone", r.lastZone},
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
