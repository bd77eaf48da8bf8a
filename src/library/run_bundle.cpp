#include "library/run_bundle.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "library/stored_run_names.h"

namespace tmx {
namespace {

using json = nlohmann::ordered_json;

// The record's "not measured" marker (-1) as null.
json measuredOrNull(int64_t value) { return value == -1 ? json(nullptr) : json(value); }

std::string hexOf(std::span<const uint8_t> bytes) {
  std::string out;
  char two[3];
  for (const uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

json unitsObject() {
  return {{"speedSamples", "0.2X of a CD, one per 9000-sector zone; -1 ends the list, null never set"},
          {"discLengthSectors", "sectors"},
          {"cpuUsagePercent", "percent at 1X, 2X, 4X, 8X"},
          {"randomSeekMs", "ms"},
          {"oneThirdSeekMs", "ms"},
          {"fullSeekMs", "ms"},
          {"burstRateMBps", "MB/s"},
          {"readSpeedKBps", "KB/s"},
          {"spinUpSeconds", "s"},
          {"spinDownSeconds", "s"},
          {"qualityMap", "C2 class per 900-sector block, -1 not read"},
          {"speedX", "X of the medium"},
          {"scan.latencyBuckets", "reads under 3, 10, 50, 150, 500 ms and 500 ms and above"},
          {"scan.map", "slowest bucket per 1/400 of the disc, 6 unreadable, -1 not read"},
          {"scan.elapsedMs", "ms"},
          {"null", "not measured"}};
}

json mediumObject(const MediumResults& m) {
  json zones = json::array();
  for (const ZoneSpeed& z : m.zones) zones.push_back({{"startLba", z.startLba}, {"speedX", z.speedX}});
  json failed = json::array();
  for (const FailedBlock& f : m.scan.failedBlocks)
    failed.push_back({{"lba", f.lba}, {"sectors", f.sectors}, {"retries", f.retries}, {"recovered", f.recovered}});
  return {{"kind", mediumName(m.medium.kind)},
          {"profile", m.medium.profile},
          {"profileName", m.medium.profileName},
          {"layers", m.medium.layers},
          {"oppositeTrackPath", m.medium.oppositeTrackPath},
          {"capacitySectors", m.medium.capacitySectors},
          {"layerBreakLba", m.medium.layerBreakLba ? json(*m.medium.layerBreakLba) : json(nullptr)},
          {"maxReadSpeedX", m.maxReadSpeedX ? json(*m.maxReadSpeedX) : json(nullptr)},
          {"plannedZones", m.plannedZones},
          {"zones", zones},
          {"scan",
           {{"blocksRead", m.scan.blocksRead},
            {"latencyBuckets", m.scan.latencyBuckets},
            {"failedBlocks", failed},
            {"unreadableSectors", m.scan.unreadableSectors},
            {"map", m.scan.map},
            {"elapsedMs", m.scan.elapsedMs}}}};
}

json recordObject(const TestResults& r) {
  json samples = json::array();
  for (const double s : r.speedSamples) samples.push_back(std::isnan(s) ? json(nullptr) : json(s));
  json cpu = json::array();
  for (const int32_t c : r.cpuUsage) cpu.push_back(measuredOrNull(c));
  return {{"formatVersion", hexOf(r.formatVersion)},
          {"discLengthSectors", measuredOrNull(r.discLength)},
          {"discType", measuredOrNull(r.discType)},
          {"speedSamples", samples},
          {"daeScore", measuredOrNull(r.daeScore)},
          {"accurateStream", measuredOrNull(r.accurateStream)},
          {"cpuUsagePercent", cpu},
          {"randomSeekMs", measuredOrNull(r.randomSeekMs)},
          {"oneThirdSeekMs", measuredOrNull(r.oneThirdSeekMs)},
          {"fullSeekMs", measuredOrNull(r.fullSeekMs)},
          {"burstRateMBps", measuredOrNull(r.burstRate)},
          {"readSpeedKBps", measuredOrNull(r.readSpeed)},
          {"reserved", hexOf(r.reserved)},
          {"spinUpSeconds", spinTimeMeasured(r.spinUpTime) ? json(r.spinUpTime) : json(nullptr)},
          {"spinDownSeconds", spinTimeMeasured(r.spinDownTime) ? json(r.spinDownTime) : json(nullptr)},
          {"daeErrors", r.daeErrors},
          {"qualityMap", r.qualityMap},
          {"qualityErrors", r.qualityErrors},
          {"lastZone", r.lastZone},
          {"medium", mediumObject(r.media)}};
}

json runObject(const StoredRun& run) {
  const StoredDrive& d = run.drive;
  const StoredDisc& c = run.disc;
  json words = json::array();
  for (const int32_t w : run.optionWords) words.push_back(static_cast<uint32_t>(w));
  return {{"utcTime", run.summary.utcTime},
          {"kind", kindName(run.summary.kind)},
          {"outcome", outcomeName(run.summary.outcome)},
          {"drive",
           {{"name", run.summary.drive},
            {"vendor", d.vendor},
            {"product", d.product},
            {"revision", d.revision},
            {"serial", d.serial},
            {"controller", d.controller},
            {"driver", d.driver},
            {"emulated", d.emulated}}},
          {"disc",
           {{"name", run.summary.disc},
            {"medium", c.medium},
            {"profile", c.profile},
            {"type", c.type < 0 ? json(nullptr) : json(c.type)},
            {"lengthSectors", c.lengthSectors < 0 ? json(nullptr) : json(c.lengthSectors)},
            {"tocDigest", c.tocDigest},
            {"manufacturer", c.manufacturer}}},
          {"optionWords", words},
          {"programVersion", run.programVersion},
          {"record", recordObject(run.record)},
          {"statusLines", run.statusLines},
          {"driveCheck", run.driveCheck}};
}

}  // namespace

std::string bundleText(std::span<const StoredRun> runs) {
  json list = json::array();
  for (const StoredRun& run : runs) list.push_back(runObject(run));
  const json bundle = {{"format", kBundleFormat}, {"version", kBundleVersion}, {"units", unitsObject()},
                       {"runs", list}};
  return bundle.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tmx
