#include "library/library_schema.h"

#include <array>
#include <string>

namespace tmx {
namespace {

constexpr const char* kVersion1 = R"sql(
CREATE TABLE runs (
  id INTEGER PRIMARY KEY,
  utc_time TEXT NOT NULL,
  kind TEXT NOT NULL CHECK (kind IN ('run', 'quality-check')),
  outcome TEXT NOT NULL,
  drive_name TEXT NOT NULL,
  drive_vendor TEXT NOT NULL, drive_product TEXT NOT NULL, drive_revision TEXT NOT NULL,
  drive_serial TEXT NOT NULL, drive_emulated INTEGER NOT NULL,
  disc_name TEXT NOT NULL,
  disc_medium TEXT NOT NULL, disc_profile TEXT NOT NULL, disc_type INTEGER, disc_length_sectors INTEGER,
  disc_toc_digest TEXT NOT NULL,
  option_word0 INTEGER NOT NULL, option_word1 INTEGER NOT NULL, option_word2 INTEGER NOT NULL,
  program_version TEXT NOT NULL,
  average_x REAL, start_x REAL, end_x REAL,
  random_seek_ms INTEGER, one_third_seek_ms INTEGER, full_seek_ms INTEGER,
  dae_score INTEGER, accurate_stream INTEGER,
  cpu_1x_percent INTEGER, cpu_2x_percent INTEGER, cpu_4x_percent INTEGER, cpu_8x_percent INTEGER,
  burst_mbps INTEGER, spin_up_s REAL, spin_down_s REAL, quality_errors INTEGER,
  persisted_block BLOB NOT NULL CHECK (length(persisted_block) = 464),
  dae_errors INTEGER NOT NULL, live_quality_errors INTEGER NOT NULL, last_zone INTEGER NOT NULL,
  quality_map BLOB NOT NULL,
  medium_kind TEXT NOT NULL, medium_profile INTEGER NOT NULL, medium_profile_name TEXT NOT NULL,
  medium_layers INTEGER NOT NULL, medium_opposite_track_path INTEGER NOT NULL,
  medium_capacity_sectors INTEGER NOT NULL, medium_layer_break_lba INTEGER, max_read_speed_x REAL,
  planned_zones INTEGER NOT NULL,
  scan_blocks_read INTEGER NOT NULL, scan_latency_buckets BLOB NOT NULL,
  scan_unreadable_sectors INTEGER NOT NULL, scan_map BLOB NOT NULL, scan_elapsed_ms INTEGER NOT NULL
);
CREATE TABLE zones (
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL, start_lba INTEGER NOT NULL, speed_x REAL NOT NULL,
  PRIMARY KEY (run_id, seq)
) WITHOUT ROWID;
CREATE TABLE failed_blocks (
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL, lba INTEGER NOT NULL, sectors INTEGER NOT NULL, retries INTEGER NOT NULL,
  recovered INTEGER NOT NULL,
  PRIMARY KEY (run_id, seq)
) WITHOUT ROWID;
CREATE TABLE status_lines (
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL, text TEXT NOT NULL,
  PRIMARY KEY (run_id, seq)
) WITHOUT ROWID;
CREATE INDEX runs_by_time ON runs(utc_time DESC, id DESC);
)sql";

// Version 2: where the drive sits and who drives it, recordable media's
// manufacturer, the drive check's lines, and list filters by index.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE runs ADD COLUMN drive_controller TEXT NOT NULL DEFAULT '';
ALTER TABLE runs ADD COLUMN drive_driver TEXT NOT NULL DEFAULT '';
ALTER TABLE runs ADD COLUMN disc_manufacturer TEXT NOT NULL DEFAULT '';
CREATE TABLE drive_check_lines (
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL, text TEXT NOT NULL,
  PRIMARY KEY (run_id, seq)
) WITHOUT ROWID;
CREATE INDEX runs_by_drive ON runs(drive_name, utc_time DESC);
CREATE INDEX runs_by_disc ON runs(disc_name, utc_time DESC);
)sql";

// Version 3: the ripping-features checks. A check fills no record of a run,
// so it has a table of its own; its answers are kept as the JSON text of its
// "ripping" object, its text as lines.
constexpr const char* kVersion3 = R"sql(
CREATE TABLE ripping_checks (
  id INTEGER PRIMARY KEY,
  utc_time TEXT NOT NULL,
  outcome TEXT NOT NULL CHECK (outcome IN ('completed', 'stopped')),
  drive_name TEXT NOT NULL,
  drive_vendor TEXT NOT NULL, drive_product TEXT NOT NULL, drive_revision TEXT NOT NULL,
  drive_serial TEXT NOT NULL, drive_emulated INTEGER NOT NULL,
  drive_controller TEXT NOT NULL, drive_driver TEXT NOT NULL,
  disc_name TEXT NOT NULL,
  disc_medium TEXT NOT NULL, disc_profile TEXT NOT NULL, disc_type INTEGER, disc_length_sectors INTEGER,
  disc_toc_digest TEXT NOT NULL, disc_manufacturer TEXT NOT NULL,
  program_version TEXT NOT NULL,
  verdict TEXT NOT NULL,
  answers_json TEXT NOT NULL
);
CREATE TABLE ripping_check_lines (
  check_id INTEGER NOT NULL REFERENCES ripping_checks(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL, text TEXT NOT NULL,
  PRIMARY KEY (check_id, seq)
) WITHOUT ROWID;
CREATE INDEX ripping_checks_by_time ON ripping_checks(utc_time DESC, id DESC);
CREATE INDEX ripping_checks_by_drive ON ripping_checks(drive_name, utc_time DESC);
)sql";

constexpr std::array<const char*, 3> kSteps = {kVersion1, kVersion2, kVersion3};

}  // namespace

bool migrateLibrary(SqliteDatabase& db, int fromVersion, int toVersion) {
  for (int version = fromVersion + 1; version <= toVersion; ++version) {
    if (version < 1 || version > static_cast<int>(kSteps.size())) return false;
    if (!db.exec(kSteps[static_cast<size_t>(version - 1)])) return false;
  }
  return db.exec("PRAGMA user_version = " + std::to_string(toVersion));
}

}  // namespace tmx
