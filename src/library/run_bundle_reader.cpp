// readBundle: every field checked for type and bounds, all runs or none.
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "library/bundle_field.h"
#include "library/run_bundle.h"
#include "library/stored_run_names.h"

namespace tmx {
namespace {

using nlohmann::json;

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr size_t kNameLength = 256;
constexpr size_t kLineLength = 4096;
constexpr size_t kMaxLines = 100'000;
constexpr size_t kMaxRuns = 100'000;
constexpr size_t kMaxZones = 100'000;
constexpr double kMaxSpeedX = 1000.0;

// The record's "not measured" marker (-1) from null.
int32_t measured(const BundleField& f, int64_t max) { return static_cast<int32_t>(f.optionalInteger(0, max).value_or(-1)); }

template <size_t N>
void readHex(const BundleField& f, std::array<uint8_t, N>& out, FieldErrors& errors) {
  const std::string hex = f.text(2 * N);
  if (!errors.ok()) return;
  if (hex.size() != 2 * N || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    errors.add(f.path(), "not " + std::to_string(2 * N) + " hex digits");
    return;
  }
  for (size_t i = 0; i < N; ++i) out[i] = static_cast<uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
}

std::vector<std::string> readLines(const BundleField& f) {
  std::vector<std::string> lines(f.array(0, kMaxLines));
  for (size_t i = 0; i < lines.size(); ++i) lines[i] = f[i].text(kLineLength);
  return lines;
}

bool isUtcTime(const std::string& t) {
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (t.size() != kShape.size()) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (kShape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(t[i])) : t[i] != kShape[i]) return false;
  }
  return true;
}

void readScan(const BundleField& f, ReadScan& scan) {
  scan.blocksRead = f["blocksRead"].integer(0, kInt64Max);
  const BundleField buckets = f["latencyBuckets"];
  if (buckets.array(kLatencyBucketCount, kLatencyBucketCount))
    for (size_t i = 0; i < scan.latencyBuckets.size(); ++i) scan.latencyBuckets[i] = buckets[i].integer(0, kInt64Max);
  const BundleField failed = f["failedBlocks"];
  const size_t count = failed.array(0, kMaxLines);
  for (size_t i = 0; i < count; ++i) {
    const BundleField b = failed[i];
    scan.failedBlocks.push_back({b["lba"].integer(0, kInt64Max), static_cast<int32_t>(b["sectors"].integer(1, kInt32Max)),
                                 static_cast<int>(b["retries"].integer(0, kInt32Max)), b["recovered"].boolean()});
  }
  scan.unreadableSectors = f["unreadableSectors"].integer(0, kInt64Max);
  const BundleField map = f["map"];
  if (map.array(kScanMapCells, kScanMapCells))
    for (size_t i = 0; i < scan.map.size(); ++i) scan.map[i] = static_cast<int8_t>(map[i].integer(-1, kLatencyBucketCount));
  scan.elapsedMs = static_cast<int32_t>(f["elapsedMs"].integer(0, kInt32Max));
}

void readMedium(const BundleField& f, MediumResults& m, FieldErrors& errors) {
  const BundleField kind = f["kind"];
  const auto medium = mediumKindOfName(kind.text(8));
  if (errors.ok() && !medium) errors.add(kind.path(), "not CD, DVD or BD");
  m.medium.kind = medium.value_or(MediumKind::CD);
  m.medium.profile = static_cast<uint16_t>(f["profile"].integer(0, 0xFFFF));
  m.medium.profileName = f["profileName"].text(kNameLength);
  m.medium.layers = static_cast<int>(f["layers"].integer(1, 8));
  m.medium.oppositeTrackPath = f["oppositeTrackPath"].boolean();
  m.medium.capacitySectors = f["capacitySectors"].integer(0, kInt64Max);
  m.medium.layerBreakLba = f["layerBreakLba"].optionalInteger(0, kInt64Max);
  m.maxReadSpeedX = f["maxReadSpeedX"].optionalReal(0, kMaxSpeedX);
  m.plannedZones = static_cast<int32_t>(f["plannedZones"].integer(0, kInt32Max));
  const BundleField zones = f["zones"];
  const size_t count = zones.array(0, kMaxZones);
  for (size_t i = 0; i < count; ++i)
    m.zones.push_back({zones[i]["startLba"].integer(0, kInt64Max), zones[i]["speedX"].real(0, kMaxSpeedX)});
  if (f["scan"].object()) readScan(f["scan"], m.scan);
}

void readSamples(const BundleField& f, TestResults& r) {
  if (!f.array(kSpeedSampleCount, kSpeedSampleCount)) return;
  for (size_t i = 0; i < r.speedSamples.size(); ++i) {
    // null: the reset's all-FFh NaN, never set since.
    const auto sample = f[i].optionalReal(-1.0, kMaxSpeedX * 5);
    r.speedSamples[i] = sample ? *sample : std::bit_cast<double>(~uint64_t{0});
  }
}

void readRecord(const BundleField& f, TestResults& r, FieldErrors& errors) {
  readHex(f["formatVersion"], r.formatVersion, errors);
  r.discLength = measured(f["discLengthSectors"], kInt32Max);
  r.discType = measured(f["discType"], 2);
  readSamples(f["speedSamples"], r);
  r.daeScore = measured(f["daeScore"], 10);
  r.accurateStream = measured(f["accurateStream"], 1);
  const BundleField cpu = f["cpuUsagePercent"];
  if (cpu.array(4, 4))
    for (size_t i = 0; i < r.cpuUsage.size(); ++i) r.cpuUsage[i] = measured(cpu[i], 100);
  r.randomSeekMs = measured(f["randomSeekMs"], kInt32Max);
  r.oneThirdSeekMs = measured(f["oneThirdSeekMs"], kInt32Max);
  r.fullSeekMs = measured(f["fullSeekMs"], kInt32Max);
  r.burstRate = measured(f["burstRateMBps"], kInt32Max);
  r.readSpeed = measured(f["readSpeedKBps"], kInt32Max);
  readHex(f["reserved"], r.reserved, errors);
  r.spinUpTime = f["spinUpSeconds"].optionalReal(0, 1e6).value_or(-1.0);
  r.spinDownTime = f["spinDownSeconds"].optionalReal(0, 1e6).value_or(-1.0);
  r.daeErrors = static_cast<int32_t>(f["daeErrors"].integer(0, kInt32Max));
  const BundleField map = f["qualityMap"];
  if (map.array(kQualityBlockCount, kQualityBlockCount))
    for (size_t i = 0; i < r.qualityMap.size(); ++i) r.qualityMap[i] = static_cast<int32_t>(map[i].integer(-1, kInt32Max));
  r.qualityErrors = static_cast<int32_t>(f["qualityErrors"].integer(0, kInt32Max));
  r.lastZone = static_cast<int32_t>(f["lastZone"].integer(-1, kSpeedSampleCount));
  if (f["medium"].object()) readMedium(f["medium"], r.media, errors);
}

void readIdentity(const BundleField& f, StoredRun& run, FieldErrors& errors) {
  const BundleField time = f["utcTime"];
  run.summary.utcTime = time.text(32);
  if (errors.ok() && !isUtcTime(run.summary.utcTime)) errors.add(time.path(), "not a time like 2026-12-09T06:14:26Z");
  const BundleField kind = f["kind"];
  const auto k = kindOfName(kind.text(kNameLength));
  if (errors.ok() && !k) errors.add(kind.path(), "not \"run\" or \"quality-check\"");
  run.summary.kind = k.value_or(StoredRunKind::Run);
  const BundleField outcome = f["outcome"];
  const auto o = outcomeOfName(outcome.text(kNameLength));
  if (errors.ok() && (!o || *o == RunOutcome::NotStarted)) errors.add(outcome.path(), "not a run's outcome");
  run.summary.outcome = o.value_or(RunOutcome::None);
  const BundleField d = f["drive"];
  if (!d.object()) return;
  run.summary.drive = d["name"].text(kNameLength);
  run.drive = {d["vendor"].text(kNameLength),     d["product"].text(kNameLength), d["revision"].text(kNameLength),
               d["serial"].text(kNameLength),     d["controller"].text(kNameLength), d["driver"].text(kNameLength),
               d["emulated"].boolean()};
}

void readDiscAndOptions(const BundleField& f, StoredRun& run) {
  const BundleField c = f["disc"];
  if (!c.object()) return;
  run.summary.disc = c["name"].text(kNameLength);
  run.disc.medium = c["medium"].text(kNameLength);
  run.disc.profile = c["profile"].text(kNameLength);
  run.disc.type = static_cast<int32_t>(c["type"].optionalInteger(0, 2).value_or(-1));
  run.disc.lengthSectors = c["lengthSectors"].optionalInteger(0, kInt64Max).value_or(-1);
  run.disc.tocDigest = c["tocDigest"].text(kNameLength);
  run.disc.manufacturer = c["manufacturer"].text(kNameLength);
  const BundleField words = f["optionWords"];
  if (words.array(3, 3))
    for (size_t i = 0; i < 3; ++i) run.optionWords[i] = static_cast<int32_t>(static_cast<uint32_t>(words[i].integer(0, UINT32_MAX)));
  run.programVersion = f["programVersion"].text(kNameLength);
}

std::optional<StoredRun> readRun(const BundleField& f, FieldErrors& errors) {
  if (!f.object()) return std::nullopt;
  StoredRun run;
  readIdentity(f, run, errors);
  readDiscAndOptions(f, run);
  if (f["record"].object()) readRecord(f["record"], run.record, errors);
  run.statusLines = readLines(f["statusLines"]);
  run.driveCheck = readLines(f["driveCheck"]);
  if (!errors.ok()) return std::nullopt;
  return run;
}

BundleRead refused(std::string why) { return {{}, std::move(why)}; }

}  // namespace

BundleRead readBundle(std::string_view text) {
  const json doc = json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded()) return refused("not a JSON document");
  FieldErrors errors;
  const BundleField root(&doc, "", errors);
  if (!root.object()) return refused("not a bundle of runs: the document is no JSON object");
  if (root["format"].text(64) != kBundleFormat)
    return refused(errors.ok() ? "format: not \"" + std::string(kBundleFormat) + "\"" : errors.first());
  const int64_t version = root["version"].integer(1, kInt32Max);
  if (!errors.ok()) return refused(errors.first());
  if (version > kBundleVersion)
    return refused("version: " + std::to_string(version) + " is newer than this program reads (" +
                   std::to_string(kBundleVersion) + ")");
  const BundleField list = root["runs"];
  const size_t count = list.array(0, kMaxRuns);
  BundleRead read;
  for (size_t i = 0; i < count && errors.ok(); ++i) {
    if (auto run = readRun(list[i], errors)) read.runs.push_back(std::move(*run));
  }
  if (!errors.ok()) return refused(errors.first());
  return read;
}

}  // namespace tmx
