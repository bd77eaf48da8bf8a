#include "library/sqlite_database.h"

#include <sqlite3.h>

#include <utility>

namespace tmx {

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(other.db_), statement_(std::exchange(other.statement_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    db_ = other.db_;
    statement_ = std::exchange(other.statement_, nullptr);
  }
  return *this;
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::bind(int index, int64_t value) { sqlite3_bind_int64(statement_, index, value); }
void SqliteStatement::bind(int index, double value) { sqlite3_bind_double(statement_, index, value); }
void SqliteStatement::bind(int index, std::string_view text) {
  sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}
void SqliteStatement::bind(int index, std::span<const uint8_t> blob) {
  // A zero-length blob is still a blob, not NULL.
  static constexpr uint8_t kNothing = 0;
  sqlite3_bind_blob64(statement_, index, blob.empty() ? &kNothing : blob.data(), blob.size(), SQLITE_TRANSIENT);
}
void SqliteStatement::bindNull(int index) { sqlite3_bind_null(statement_, index); }

SqliteStep SqliteStatement::step() {
  switch (sqlite3_step(statement_)) {
    case SQLITE_ROW: return SqliteStep::Row;
    case SQLITE_DONE: return SqliteStep::Done;
    default: return SqliteStep::Error;
  }
}

void SqliteStatement::reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

bool SqliteStatement::isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(statement_, column); }
double SqliteStatement::real(int column) const { return sqlite3_column_double(statement_, column); }

std::string SqliteStatement::text(int column) const {
  const auto* p = sqlite3_column_text(statement_, column);
  const int n = sqlite3_column_bytes(statement_, column);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

std::vector<uint8_t> SqliteStatement::blob(int column) const {
  const auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
  const int n = sqlite3_column_bytes(statement_, column);
  return p ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>();
}

std::optional<int64_t> SqliteStatement::optionalInteger(int column) const {
  if (isNull(column)) return std::nullopt;
  return integer(column);
}

std::optional<double> SqliteStatement::optionalReal(int column) const {
  if (isNull(column)) return std::nullopt;
  return real(column);
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const std::filesystem::path& path, SqliteOpen mode,
                                                     SqliteError& error) {
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case SqliteOpen::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case SqliteOpen::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case SqliteOpen::ReadWriteCreate: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
  }
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    error = {db ? sqlite3_extended_errcode(db) : rc, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)};
    sqlite3_close_v2(db);
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  return std::make_unique<SqliteDatabase>(db);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(db_); }

std::optional<SqliteStatement> SqliteDatabase::prepare(std::string_view sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return std::nullopt;
  }
  return SqliteStatement(db_, statement);
}

bool SqliteDatabase::exec(const std::string& sql) {
  return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<int64_t> SqliteDatabase::queryInteger(std::string_view sql) {
  auto statement = prepare(sql);
  if (!statement || statement->step() != SqliteStep::Row) return std::nullopt;
  return statement->integer(0);
}

void SqliteDatabase::setBusyTimeout(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }
int64_t SqliteDatabase::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }
int64_t SqliteDatabase::changes() const { return sqlite3_changes64(db_); }
bool SqliteDatabase::readOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

SqliteError SqliteDatabase::lastError() const { return {sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)}; }

SqliteTransaction::SqliteTransaction(SqliteDatabase& db, Mode mode) : db_(db) {
  begun_ = db_.exec(mode == Mode::Write ? "BEGIN IMMEDIATE" : "BEGIN");
}

SqliteTransaction::~SqliteTransaction() {
  // The caller reads lastError() of the failed statement before this runs.
  if (begun_ && !done_) db_.exec("ROLLBACK");
}

bool SqliteTransaction::commit() {
  if (!begun_ || done_) return false;
  done_ = db_.exec("COMMIT");
  return done_;
}

}  // namespace tmx
