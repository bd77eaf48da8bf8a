#include "library/results_library.h"

#include <sqlite3.h>

#include <system_error>

#include "library/library_schema.h"
#include "library/ripping_rows.h"
#include "library/run_rows.h"
#include "library/sqlite_database.h"

namespace tmx {
namespace {

template <class T>
LibraryResult<T> failure(std::string cause) {
  return {std::nullopt, std::move(cause)};
}

template <class T>
LibraryResult<T> success(T value) {
  return {std::move(value), {}};
}

std::string openLine(const std::filesystem::path& path, const std::string& cause) {
  return "Results library " + path.string() + " cannot be used: " + cause;
}

bool damagedCode(int code) { return (code & 0xFF) == SQLITE_CORRUPT || (code & 0xFF) == SQLITE_NOTADB; }

// A write that failed: SQLite's words, and for a lock how long it was waited for.
template <class T>
LibraryResult<T> writeFailure(const SqliteError& error, std::chrono::milliseconds waited) {
  LibraryResult<T> result{std::nullopt, error.message};
  if ((error.code & 0xFF) == SQLITE_BUSY)
    result.error += " (by another program, waited " + std::to_string(waited.count()) + " ms)";
  result.damaged = damagedCode(error.code);
  return result;
}

}  // namespace

ResultsLibrary::ResultsLibrary(ResultsLibrary&&) noexcept = default;
ResultsLibrary& ResultsLibrary::operator=(ResultsLibrary&&) noexcept = default;
ResultsLibrary::~ResultsLibrary() = default;

ResultsLibrary ResultsLibrary::open(const std::filesystem::path& path, const LibraryOptions& options) {
  ResultsLibrary lib;
  lib.path_ = path;
  lib.busyTimeout_ = options.busyTimeout;
  if (!options.readOnly && path.has_parent_path()) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) return std::move(lib.fail("its folder cannot be made: " + ec.message()));
  }
  SqliteError error;
  if (!options.readOnly) lib.db_ = SqliteDatabase::open(path, SqliteOpen::ReadWriteCreate, error);
  if (!lib.db_) {
    SqliteError readError;
    if (std::filesystem::exists(path)) lib.db_ = SqliteDatabase::open(path, SqliteOpen::ReadOnly, readError);
    if (!lib.db_) return std::move(lib.fail(error.message.empty() ? readError.message : error.message));
  }
  lib.db_->setBusyTimeout(static_cast<int>(options.busyTimeout.count()));
  lib.prepareSchema(options);
  return lib;
}

ResultsLibrary& ResultsLibrary::fail(const std::string& cause) {
  if (db_) damaged_ = damagedCode(db_->lastError().code);
  state_ = LibraryState::Failed;
  reason_ = openLine(path_, cause);
  db_.reset();
  return *this;
}

void ResultsLibrary::prepareSchema(const LibraryOptions& options) {
  const auto version = db_->queryInteger("PRAGMA user_version");
  if (!version) {
    fail(db_->lastError().message);
    return;
  }
  schemaVersion_ = static_cast<int>(*version);
  db_->exec("PRAGMA foreign_keys = ON");
  if (schemaVersion_ > kLibrarySchemaVersion) {
    state_ = LibraryState::ReadOnly;
    reason_ = "Results library " + path_.string() + " was written by a newer version of the program (schema " +
              std::to_string(schemaVersion_) + "); it is open for reading only";
    return;
  }
  if (options.readOnly || db_->readOnly()) {
    // Runs last changed their tables in version 2: such a file's runs read
    // as they are, and it simply has no ripping checks.
    if (schemaVersion_ < kRunsSchemaVersion) {
      fail(schemaVersion_ == 0 ? "it is empty and cannot be written"
                               : "its schema (version " + std::to_string(schemaVersion_) +
                                     ") must be updated, and the file cannot be written");
      return;
    }
    state_ = LibraryState::ReadOnly;
    reason_ = "Results library " + path_.string() + " is open for reading only";
    return;
  }
  if (!db_->exec("PRAGMA journal_mode = WAL")) {
    fail(db_->lastError().message);
    return;
  }
  if (options.maxPageCount) db_->exec("PRAGMA max_page_count = " + std::to_string(*options.maxPageCount));
  if (schemaVersion_ < kLibrarySchemaVersion && !migrate()) return;
  state_ = LibraryState::Ready;
}

bool ResultsLibrary::migrate() {
  std::optional<std::string> error;
  {
    SqliteTransaction tx(*db_);
    // Another program may have migrated the file while this one waited for the lock.
    const auto version = tx.begun() ? db_->queryInteger("PRAGMA user_version") : std::nullopt;
    if (!version ||
        (*version < kLibrarySchemaVersion &&
         !migrateLibrary(*db_, static_cast<int>(*version), kLibrarySchemaVersion)) ||
        !tx.commit())
      error = db_->lastError().message;
  }
  // fail() closes the connection: only once the transaction has rolled back.
  if (error) fail(*error);
  return !error;
}

std::optional<std::string> ResultsLibrary::unwritable() const {
  if (state_ == LibraryState::Ready) return std::nullopt;
  return reason_;
}

LibraryResult<int64_t> ResultsLibrary::record(const StoredRun& run) {
  auto ids = recordAll(std::span<const StoredRun>(&run, 1));
  if (!ids) return {std::nullopt, ids.error, ids.damaged};
  return success(ids.value->front());
}

LibraryResult<std::vector<int64_t>> ResultsLibrary::recordAll(std::span<const StoredRun> runs) {
  if (const auto why = unwritable()) return failure<std::vector<int64_t>>(*why);
  SqliteTransaction tx(*db_);
  if (!tx.begun()) return writeFailure<std::vector<int64_t>>(db_->lastError(), busyTimeout_);
  std::vector<int64_t> ids;
  for (const StoredRun& run : runs) {
    const auto id = insertRun(*db_, run);
    if (!id) return writeFailure<std::vector<int64_t>>(db_->lastError(), busyTimeout_);
    ids.push_back(*id);
  }
  if (!tx.commit()) return writeFailure<std::vector<int64_t>>(db_->lastError(), busyTimeout_);
  return success(std::move(ids));
}

LibraryResult<std::vector<RunSummary>> ResultsLibrary::list(const RunFilter& filter) const {
  if (!db_) return failure<std::vector<RunSummary>>(reason_);
  std::string sql = std::string("SELECT ") + kSummaryColumns + " FROM runs WHERE 1";
  if (filter.drive) sql += " AND drive_name = ?1";
  if (filter.disc) sql += " AND disc_name = ?2";
  if (filter.kind) sql += " AND kind = ?3";
  sql += " ORDER BY utc_time DESC, id DESC";
  if (filter.limit > 0) sql += " LIMIT " + std::to_string(filter.limit);
  auto st = db_->prepare(sql);
  if (!st) return failure<std::vector<RunSummary>>(db_->lastError().message);
  if (filter.drive) st->bind(1, *filter.drive);
  if (filter.disc) st->bind(2, *filter.disc);
  if (filter.kind) st->bind(3, *filter.kind == StoredRunKind::Run ? "run" : "quality-check");
  std::vector<RunSummary> rows;
  SqliteStep step;
  while ((step = st->step()) == SqliteStep::Row) rows.push_back(readSummary(*st));
  if (step != SqliteStep::Done) return failure<std::vector<RunSummary>>(db_->lastError().message);
  return success(std::move(rows));
}

LibraryResult<std::vector<std::string>> ResultsLibrary::distinct(const char* column) const {
  if (!db_) return failure<std::vector<std::string>>(reason_);
  auto st = db_->prepare(std::string("SELECT DISTINCT ") + column + " FROM runs ORDER BY 1");
  if (!st) return failure<std::vector<std::string>>(db_->lastError().message);
  std::vector<std::string> names;
  SqliteStep step;
  while ((step = st->step()) == SqliteStep::Row) names.push_back(st->text(0));
  if (step != SqliteStep::Done) return failure<std::vector<std::string>>(db_->lastError().message);
  return success(std::move(names));
}

LibraryResult<std::vector<std::string>> ResultsLibrary::drives() const { return distinct("drive_name"); }
LibraryResult<std::vector<std::string>> ResultsLibrary::discs() const { return distinct("disc_name"); }

LibraryResult<StoredRun> ResultsLibrary::load(int64_t id) const {
  if (!db_) return failure<StoredRun>(reason_);
  SqliteTransaction tx(*db_, SqliteTransaction::Mode::Read);
  std::string error;
  auto run = readRun(*db_, id, error);
  if (!run) return failure<StoredRun>(error.empty() ? "no run " + std::to_string(id) : error);
  return success(std::move(*run));
}

LibraryResult<std::vector<StoredRun>> ResultsLibrary::loadAll(std::span<const int64_t> ids) const {
  std::vector<StoredRun> runs;
  for (const int64_t id : ids) {
    auto run = load(id);
    if (!run) return failure<std::vector<StoredRun>>(run.error);
    runs.push_back(std::move(*run.value));
  }
  return success(std::move(runs));
}

LibraryResult<std::vector<int64_t>> ResultsLibrary::allIds() const {
  auto rows = list();
  if (!rows) return failure<std::vector<int64_t>>(rows.error);
  std::vector<int64_t> ids;
  for (const RunSummary& row : *rows.value) ids.push_back(row.id);
  return success(std::move(ids));
}

LibraryResult<int64_t> ResultsLibrary::remove(std::span<const int64_t> ids) {
  if (const auto why = unwritable()) return failure<int64_t>(*why);
  SqliteTransaction tx(*db_);
  auto st = db_->prepare("DELETE FROM runs WHERE id = ?1");
  if (!tx.begun() || !st) return writeFailure<int64_t>(db_->lastError(), busyTimeout_);
  int64_t removed = 0;
  for (const int64_t id : ids) {
    st->reset();
    st->bind(1, id);
    if (st->step() != SqliteStep::Done) return writeFailure<int64_t>(db_->lastError(), busyTimeout_);
    removed += db_->changes();
  }
  if (!tx.commit()) return writeFailure<int64_t>(db_->lastError(), busyTimeout_);
  return success(removed);
}

LibraryResult<int64_t> ResultsLibrary::recordRipping(const StoredRippingCheck& check) {
  if (const auto why = unwritable()) return failure<int64_t>(*why);
  SqliteTransaction tx(*db_);
  if (!tx.begun()) return writeFailure<int64_t>(db_->lastError(), busyTimeout_);
  const auto id = insertRippingCheck(*db_, check);
  if (!id || !tx.commit()) return writeFailure<int64_t>(db_->lastError(), busyTimeout_);
  return success(*id);
}

LibraryResult<std::vector<RippingCheckSummary>> ResultsLibrary::listRipping(
    const std::optional<std::string>& drive) const {
  using Rows = std::vector<RippingCheckSummary>;
  if (!db_) return failure<Rows>(reason_);
  if (!hasRippingChecks()) return success(Rows{});
  std::string sql = std::string("SELECT ") + kRippingSummaryColumns + " FROM ripping_checks";
  if (drive) sql += " WHERE drive_name = ?1";
  sql += " ORDER BY utc_time DESC, id DESC";
  auto st = db_->prepare(sql);
  if (!st) return failure<Rows>(db_->lastError().message);
  if (drive) st->bind(1, *drive);
  Rows rows;
  SqliteStep step;
  while ((step = st->step()) == SqliteStep::Row) rows.push_back(readRippingSummary(*st));
  if (step != SqliteStep::Done) return failure<Rows>(db_->lastError().message);
  return success(std::move(rows));
}

LibraryResult<StoredRippingCheck> ResultsLibrary::loadRipping(int64_t id) const {
  if (!db_) return failure<StoredRippingCheck>(reason_);
  if (!hasRippingChecks()) return failure<StoredRippingCheck>("no ripping check " + std::to_string(id));
  SqliteTransaction tx(*db_, SqliteTransaction::Mode::Read);
  std::string error;
  auto check = readRippingCheck(*db_, id, error);
  if (!check) return failure<StoredRippingCheck>(error.empty() ? "no ripping check " + std::to_string(id) : error);
  return success(std::move(*check));
}

std::filesystem::path defaultLibraryPath(const char* xdgDataHome, const char* home) {
  // XDG base directories: a relative XDG_DATA_HOME is invalid and ignored.
  if (xdgDataHome && xdgDataHome[0] == '/') return std::filesystem::path(xdgDataHome) / "tachometrix" / "results.sqlite";
  if (home && home[0] == '/') return std::filesystem::path(home) / ".local/share/tachometrix/results.sqlite";
  return {};
}

std::optional<std::string> setAsideBadLibrary(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::rename(path, std::filesystem::path(path.string() + ".bad"), ec);
  if (ec) return "Results library " + path.string() + " could not be kept as .bad: " + ec.message();
  for (const char* side : {"-wal", "-shm"}) {
    const std::filesystem::path from(path.string() + side);
    std::filesystem::rename(from, std::filesystem::path(path.string() + ".bad" + side), ec);
  }
  return std::nullopt;
}

}  // namespace tmx
