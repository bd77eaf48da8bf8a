#include "library/ripping_rows.h"

#include "library/table_rows.h"

namespace tmx {
namespace {

constexpr int kCheckColumnCount = 20;

std::string checkColumns() {
  return std::string("utc_time, outcome, ") + kDriveDiscColumns + ", program_version, verdict, answers_json";
}

const char* outcomeWord(bool stopped) { return stopped ? "stopped" : "completed"; }

}  // namespace

const char* const kRippingSummaryColumns = "id, utc_time, outcome, drive_name, disc_name, verdict";

RippingCheckSummary readRippingSummary(const SqliteStatement& row) {
  Reader r{row};
  RippingCheckSummary s;
  s.id = r.integer();
  s.utcTime = r.text();
  s.stopped = r.text() == outcomeWord(true);
  s.drive = r.text();
  s.disc = r.text();
  s.verdict = r.text();
  return s;
}

std::optional<int64_t> insertRippingCheck(SqliteDatabase& db, const StoredRippingCheck& check) {
  static const std::string sql =
      "INSERT INTO ripping_checks (" + checkColumns() + ") VALUES (" + placeholders(kCheckColumnCount) + ")";
  auto st = db.prepare(sql);
  if (!st) return std::nullopt;
  Binder b{*st};
  const RippingCheckSummary& s = check.summary;
  b(s.utcTime)(outcomeWord(s.stopped));
  bindDriveAndDisc(b, s.drive, check.drive, s.disc, check.disc);
  b(check.programVersion)(s.verdict)(check.answersJson);
  if (st->step() != SqliteStep::Done) return std::nullopt;
  const int64_t id = db.lastInsertId();
  if (!insertLines(db, "ripping_check_lines", "check_id", id, check.lines)) return std::nullopt;
  return id;
}

std::optional<StoredRippingCheck> readRippingCheck(SqliteDatabase& db, int64_t id, std::string& error) {
  static const std::string sql = "SELECT " + checkColumns() + " FROM ripping_checks WHERE id = ?1";
  auto st = db.prepare(sql);
  error.clear();
  if (!st) {
    error = db.lastError().message;
    return std::nullopt;
  }
  st->bind(1, id);
  const SqliteStep step = st->step();
  if (step != SqliteStep::Row) {
    if (step == SqliteStep::Error) error = db.lastError().message;
    return std::nullopt;
  }
  StoredRippingCheck check;
  RippingCheckSummary& s = check.summary;
  s.id = id;
  Reader r{*st};
  s.utcTime = r.text();
  s.stopped = r.text() == outcomeWord(true);
  readDriveAndDisc(r, s.drive, check.drive, s.disc, check.disc);
  check.programVersion = r.text();
  s.verdict = r.text();
  check.answersJson = r.text();
  if (!readLines(db, "ripping_check_lines", "check_id", id, check.lines)) {
    error = db.lastError().message;
    return std::nullopt;
  }
  return check;
}

}  // namespace tmx
