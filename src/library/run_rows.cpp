#include "library/run_rows.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "library/blob_codec.h"
#include "library/stored_run_names.h"
#include "library/table_rows.h"
#include "results/persisted_block.h"
#include "results/run_report.h"

namespace tmx {
namespace {

// The columns of a run, in the order insertRun binds them and readRun reads them.
std::string runColumns() {
  return std::string("utc_time, kind, outcome, ") + kDriveDiscColumns +
         ", option_word0, option_word1, option_word2, program_version, "
         "average_x, start_x, end_x, random_seek_ms, one_third_seek_ms, full_seek_ms, dae_score, accurate_stream, "
         "cpu_1x_percent, cpu_2x_percent, cpu_4x_percent, cpu_8x_percent, burst_mbps, spin_up_s, spin_down_s, "
         "quality_errors, "
         "persisted_block, dae_errors, live_quality_errors, last_zone, quality_map, "
         "medium_kind, medium_profile, medium_profile_name, medium_layers, medium_opposite_track_path, "
         "medium_capacity_sectors, medium_layer_break_lba, max_read_speed_x, planned_zones, scan_blocks_read, "
         "scan_latency_buckets, scan_unreadable_sectors, scan_map, scan_elapsed_ms";
}
constexpr int kRunColumnCount = 57;

std::optional<double> spinOrNull(double seconds) {
  return spinTimeMeasured(seconds) ? std::optional<double>(seconds) : std::nullopt;
}

void bindIdentity(Binder& b, const StoredRun& run) {
  b(run.summary.utcTime)(kindName(run.summary.kind))(outcomeName(run.summary.outcome));
  bindDriveAndDisc(b, run.summary.drive, run.drive, run.summary.disc, run.disc);
  b(run.optionWords[0])(run.optionWords[1])(run.optionWords[2])(run.programVersion);
}

void bindFigures(Binder& b, const StoredRun& run) {
  const TestResults& r = run.record;
  const RunReport report = makeRunReport(r, run.summary.outcome, run.summary.kind == StoredRunKind::QualityCheck);
  b(report.averageX)(report.startX)(report.endX);
  b(report.randomSeekMs)(report.oneThirdSeekMs)(report.fullSeekMs)(report.daeScore)(report.accurateStream);
  for (const auto& cpu : report.cpuPercent) b(cpu);
  b(report.burstMBps)(spinOrNull(r.spinUpTime))(spinOrNull(r.spinDownTime));
  b(report.qualityCheck ? std::optional<int32_t>(report.qualityCheck->errors) : std::nullopt);
}

void bindRecord(Binder& b, const TestResults& r) {
  const PersistedBlock block = encodePersistedBlock(r);
  b(std::span<const uint8_t>(block))(r.daeErrors)(r.qualityErrors)(r.lastZone);
  b(std::span<const uint8_t>(encodeInts<int32_t>(r.qualityMap)));
  const MediumResults& m = r.media;
  b(std::string_view(mediumName(m.medium.kind)))(static_cast<int64_t>(m.medium.profile))(m.medium.profileName);
  b(static_cast<int64_t>(m.medium.layers))(m.medium.oppositeTrackPath)(m.medium.capacitySectors);
  b(m.medium.layerBreakLba)(m.maxReadSpeedX)(m.plannedZones);
  b(m.scan.blocksRead)(std::span<const uint8_t>(encodeInts<int64_t>(m.scan.latencyBuckets)));
  b(m.scan.unreadableSectors)(std::span<const uint8_t>(encodeInts<int8_t>(m.scan.map)))(m.scan.elapsedMs);
}

bool insertMediumRows(SqliteDatabase& db, int64_t id, const MediumResults& m) {
  auto zone = db.prepare("INSERT INTO zones(run_id, seq, start_lba, speed_x) VALUES (?1, ?2, ?3, ?4)");
  if (!zone) return false;
  for (size_t i = 0; i < m.zones.size(); ++i) {
    zone->reset();
    Binder{*zone}(id)(static_cast<int64_t>(i))(m.zones[i].startLba)(m.zones[i].speedX);
    if (zone->step() != SqliteStep::Done) return false;
  }
  auto failed = db.prepare(
      "INSERT INTO failed_blocks(run_id, seq, lba, sectors, retries, recovered) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  if (!failed) return false;
  const auto& blocks = m.scan.failedBlocks;
  for (size_t i = 0; i < blocks.size(); ++i) {
    failed->reset();
    Binder{*failed}(id)(static_cast<int64_t>(i))(blocks[i].lba)(blocks[i].sectors)(blocks[i].retries)(
        blocks[i].recovered);
    if (failed->step() != SqliteStep::Done) return false;
  }
  return true;
}

}  // namespace

const char* const kSummaryColumns =
    "id, utc_time, kind, drive_name, disc_name, average_x, random_seek_ms, one_third_seek_ms, full_seek_ms, "
    "dae_score, burst_mbps, outcome";

RunSummary readSummary(const SqliteStatement& row) {
  Reader r{row};
  RunSummary s;
  s.id = r.integer();
  s.utcTime = r.text();
  s.kind = kindOfName(r.text()).value_or(StoredRunKind::Run);
  s.drive = r.text();
  s.disc = r.text();
  s.averageX = r.optionalReal();
  s.randomSeekMs = r.optionalInt32();
  s.oneThirdSeekMs = r.optionalInt32();
  s.fullSeekMs = r.optionalInt32();
  s.daeScore = r.optionalInt32();
  s.burstMBps = r.optionalInt32();
  s.outcome = outcomeOfName(r.text()).value_or(RunOutcome::None);
  return s;
}

std::optional<int64_t> insertRun(SqliteDatabase& db, const StoredRun& run) {
  static const std::string sql =
      "INSERT INTO runs (" + runColumns() + ") VALUES (" + placeholders(kRunColumnCount) + ")";
  auto st = db.prepare(sql);
  if (!st) return std::nullopt;
  Binder b{*st};
  bindIdentity(b, run);
  bindFigures(b, run);
  bindRecord(b, run.record);
  if (st->step() != SqliteStep::Done) return std::nullopt;
  const int64_t id = db.lastInsertId();
  if (!insertMediumRows(db, id, run.record.media) || !insertLines(db, "status_lines", "run_id", id, run.statusLines) ||
      !insertLines(db, "drive_check_lines", "run_id", id, run.driveCheck))
    return std::nullopt;
  return id;
}

namespace {

void readIdentity(Reader& r, StoredRun& run) {
  run.summary.utcTime = r.text();
  run.summary.kind = kindOfName(r.text()).value_or(StoredRunKind::Run);
  run.summary.outcome = outcomeOfName(r.text()).value_or(RunOutcome::None);
  readDriveAndDisc(r, run.summary.drive, run.drive, run.summary.disc, run.disc);
  for (auto& word : run.optionWords) word = static_cast<int32_t>(r.integer());
  run.programVersion = r.text();
}

void readFigures(Reader& r, StoredRun& run) {
  run.summary.averageX = r.optionalReal();
  r.next += 2;  // start_x, end_x: the record has them
  run.summary.randomSeekMs = r.optionalInt32();
  run.summary.oneThirdSeekMs = r.optionalInt32();
  run.summary.fullSeekMs = r.optionalInt32();
  run.summary.daeScore = r.optionalInt32();
  r.next += 5;  // accurate_stream, cpu_*_percent
  run.summary.burstMBps = r.optionalInt32();
  run.record.spinUpTime = r.optionalReal().value_or(-1.0);
  run.record.spinDownTime = r.optionalReal().value_or(-1.0);
  r.next += 1;  // quality_errors
}

bool readRecord(Reader& r, TestResults& t) {
  const std::vector<uint8_t> block = r.blob();
  if (block.size() != kPersistedBlockSize) return false;
  decodePersistedBlock(std::span<const uint8_t, kPersistedBlockSize>(block.data(), kPersistedBlockSize), t);
  t.daeErrors = static_cast<int32_t>(r.integer());
  t.qualityErrors = static_cast<int32_t>(r.integer());
  t.lastZone = static_cast<int32_t>(r.integer());
  if (!decodeInts<int32_t>(r.blob(), t.qualityMap)) return false;
  MediumResults& m = t.media;
  const auto kind = mediumKindOfName(r.text());
  if (!kind) return false;
  m.medium.kind = *kind;
  m.medium.profile = static_cast<uint16_t>(r.integer());
  m.medium.profileName = r.text();
  m.medium.layers = static_cast<int>(r.integer());
  m.medium.oppositeTrackPath = r.integer() != 0;
  m.medium.capacitySectors = r.integer();
  m.medium.layerBreakLba = r.optionalInteger();
  m.maxReadSpeedX = r.optionalReal();
  m.plannedZones = static_cast<int32_t>(r.integer());
  m.scan.blocksRead = r.integer();
  if (!decodeInts<int64_t>(r.blob(), m.scan.latencyBuckets)) return false;
  m.scan.unreadableSectors = r.integer();
  if (!decodeInts<int8_t>(r.blob(), m.scan.map)) return false;
  m.scan.elapsedMs = static_cast<int32_t>(r.integer());
  return true;
}

bool readMediumRows(SqliteDatabase& db, int64_t id, MediumResults& m) {
  auto zone = db.prepare("SELECT start_lba, speed_x FROM zones WHERE run_id = ?1 ORDER BY seq");
  if (!zone) return false;
  zone->bind(1, id);
  SqliteStep step;
  while ((step = zone->step()) == SqliteStep::Row) m.zones.push_back({zone->integer(0), zone->real(1)});
  if (step != SqliteStep::Done) return false;
  auto failed = db.prepare("SELECT lba, sectors, retries, recovered FROM failed_blocks WHERE run_id = ?1 ORDER BY seq");
  if (!failed) return false;
  failed->bind(1, id);
  while ((step = failed->step()) == SqliteStep::Row)
    m.scan.failedBlocks.push_back({failed->integer(0), static_cast<int32_t>(failed->integer(1)),
                                   static_cast<int>(failed->integer(2)), failed->integer(3) != 0});
  return step == SqliteStep::Done;
}

std::optional<StoredRun> failedWith(std::string& error, std::string why) {
  error = std::move(why);
  return std::nullopt;
}

}  // namespace

std::optional<StoredRun> readRun(SqliteDatabase& db, int64_t id, std::string& error) {
  static const std::string sql = "SELECT " + runColumns() + " FROM runs WHERE id = ?1";
  auto st = db.prepare(sql);
  if (!st) return failedWith(error, db.lastError().message);
  st->bind(1, id);
  const SqliteStep step = st->step();
  if (step != SqliteStep::Row) return failedWith(error, step == SqliteStep::Done ? "" : db.lastError().message);
  StoredRun run;
  run.summary.id = id;
  Reader r{*st};
  readIdentity(r, run);
  readFigures(r, run);
  if (!readRecord(r, run.record)) return failedWith(error, "its record is damaged");
  if (!readMediumRows(db, id, run.record.media) || !readLines(db, "status_lines", "run_id", id, run.statusLines) ||
      !readLines(db, "drive_check_lines", "run_id", id, run.driveCheck))
    return failedWith(error, db.lastError().message);
  return run;
}

}  // namespace tmx
