#include "cli/json_report.h"

#include <nlohmann/json.hpp>
#include <optional>

#include "drive/drive_discovery.h"
#include "results/result_texts.h"

namespace tmx::cli {
namespace {

using nlohmann::json;

template <typename T>
json valueOrNull(const std::optional<T>& value) {
  return value ? json(*value) : json(nullptr);
}

json speedTextOrNull(const std::optional<double>& speedX) {
  return speedX ? json(speedText(*speedX)) : json(nullptr);
}

json transferRate(const RunReport& r) {
  json speeds = json::array();
  json starts = json::array();
  for (const ZoneSpeed& zone : r.zones) {
    speeds.push_back(zone.speedX);
    starts.push_back(zone.startLba);
  }
  return {{"oneXBytesPerSecond", r.oneXBytesPerSecond},
          {"zoneStartLbas", starts},
          {"zoneSpeedsX", speeds},
          {"lastZone", valueOrNull(r.lastZone)},
          {"start", speedTextOrNull(r.startX)},
          {"end", speedTextOrNull(r.endX)},
          {"average", speedTextOrNull(r.averageX)},
          {"readingType", valueOrNull(r.readingType)}};
}

json readScan(const ReadScan& scan) {
  json buckets = json::object();
  static constexpr const char* kNames[kLatencyBucketCount] = {"<3", "<10", "<50", "<150", "<500", ">=500"};
  for (int i = 0; i < kLatencyBucketCount; ++i) buckets[kNames[i]] = scan.latencyBuckets[static_cast<size_t>(i)];
  json failed = json::array();
  for (const FailedBlock& block : scan.failedBlocks) {
    failed.push_back({{"lba", block.lba}, {"sectors", block.sectors}, {"retries", block.retries}, {"recovered", block.recovered}});
  }
  return {{"blocksRead", scan.blocksRead},
          {"unreadableSectors", scan.unreadableSectors},
          {"latencyBucketsMs", buckets},
          {"failedBlocks", failed},
          {"map", scan.map},
          {"mapCells", kScanMapCells}};
}

json disc(const RunReport& r) {
  const std::optional<std::string> typeText =
      r.discType && !discTypeName(*r.discType).empty() ? std::optional(discTypeName(*r.discType)) : std::nullopt;
  const bool probed = !r.medium.profileName.empty();
  return {{"medium", mediumName(r.medium.kind)},
          {"profile", probed ? json(r.medium.profileName) : json(nullptr)},
          {"layers", r.medium.layers},
          {"type", valueOrNull(r.discType)},
          {"typeText", valueOrNull(typeText)},
          {"lengthSectors", valueOrNull(r.discLengthSectors)}};
}

}  // namespace

std::string formatJsonReport(const JsonReportInput& in) {
  const RunReport& r = in.report;
  json out = {
      {"outcome", outcomeName(r.outcome)},
      {"drive",
       {{"vendor", TrimTrailingBlanks(in.drive.vendor)},
        {"product", TrimTrailingBlanks(in.drive.product)},
        {"revision", TrimTrailingBlanks(in.drive.revision)}}},
      {"disc", disc(r)},
      {"transferRate", transferRate(r)},
      {"seekMs",
       {{"random", valueOrNull(r.randomSeekMs)},
        {"oneThird", valueOrNull(r.oneThirdSeekMs)},
        {"full", valueOrNull(r.fullSeekMs)}}},
      {"cpuPercent",
       {{"1x", valueOrNull(r.cpuPercent[0])},
        {"2x", valueOrNull(r.cpuPercent[1])},
        {"4x", valueOrNull(r.cpuPercent[2])},
        {"8x", valueOrNull(r.cpuPercent[3])}}},
      {"burstMBps", valueOrNull(r.burstMBps)},
      {"spinSeconds", {{"up", valueOrNull(r.spinUpSeconds)}, {"down", valueOrNull(r.spinDownSeconds)}}},
      {"dae", {{"score", valueOrNull(r.daeScore)}, {"accurateStream", valueOrNull(r.accurateStream)}}},
      {"statusLines", in.statusLines},
  };
  if (r.qualityCheck) {
    out["qualityCheck"] = {{"errors", r.qualityCheck->errors}, {"map", r.qualityCheck->classes}, {"sectorsPerBlock", 900}};
  }
  if (r.readScan) out["qualityCheck"] = readScan(*r.readScan);
  // Drive and file texts may hold bytes that are not UTF-8: replaced, never thrown on.
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tmx::cli
