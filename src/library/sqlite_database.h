// A small RAII layer over the SQLite C API: a database, its prepared
// statements and a transaction that rolls back unless committed. Errors are
// values carrying SQLite's extended code and message; nothing throws.
//
//   SqliteError error;
//   auto db = SqliteDatabase::open(path, SqliteOpen::ReadWriteCreate, error);
//   SqliteTransaction tx(*db);
//   auto st = db->prepare("INSERT INTO t(a) VALUES(?1)");
//   st->bind(1, int64_t{5});
//   if (st->step() == SqliteStep::Error || !tx.commit()) puts(db->lastError().message.c_str());
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tmx {

struct SqliteError {
  int code = 0;  // extended result code; 0 for none
  std::string message;
};

enum class SqliteOpen { ReadOnly, ReadWrite, ReadWriteCreate };
enum class SqliteStep { Row, Done, Error };

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  // Parameters count from 1. An empty optional binds NULL.
  void bind(int index, int64_t value);
  void bind(int index, double value);
  void bind(int index, std::string_view text);
  void bind(int index, std::span<const uint8_t> blob);
  void bindNull(int index);
  template <class T>
  void bind(int index, const std::optional<T>& value) {
    if (value) bind(index, *value); else bindNull(index);
  }
  void bind(int index, int32_t value) { bind(index, static_cast<int64_t>(value)); }
  void bind(int index, bool value) { bind(index, static_cast<int64_t>(value)); }
  void bind(int index, const std::string& text) { bind(index, std::string_view(text)); }
  void bind(int index, const char* text) { bind(index, std::string_view(text)); }

  SqliteStep step();
  // Ready to step again with new bindings.
  void reset();

  // Columns count from 0.
  bool isNull(int column) const;
  int64_t integer(int column) const;
  double real(int column) const;
  std::string text(int column) const;
  std::vector<uint8_t> blob(int column) const;
  std::optional<int64_t> optionalInteger(int column) const;
  std::optional<double> optionalReal(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_;
};

class SqliteDatabase {
 public:
  // nullptr on failure, with `error` filled.
  static std::unique_ptr<SqliteDatabase> open(const std::filesystem::path& path, SqliteOpen mode, SqliteError& error);
  explicit SqliteDatabase(sqlite3* db) : db_(db) {}
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;
  ~SqliteDatabase();

  // nullopt on failure (lastError() says why).
  std::optional<SqliteStatement> prepare(std::string_view sql);
  // Runs statements that return no rows we need.
  bool exec(const std::string& sql);
  // The first column of the first row as an integer (PRAGMA user_version).
  std::optional<int64_t> queryInteger(std::string_view sql);

  void setBusyTimeout(int milliseconds);
  int64_t lastInsertId() const;
  int64_t changes() const;
  bool readOnly() const;
  SqliteError lastError() const;

 private:
  sqlite3* db_;
};

// BEGIN IMMEDIATE for a writer (the busy timeout applies to taking the write
// lock, so no deadlock later), BEGIN for a reader. Rolls back on
// destruction unless commit() succeeded.
class SqliteTransaction {
 public:
  enum class Mode { Read, Write };
  explicit SqliteTransaction(SqliteDatabase& db, Mode mode = Mode::Write);
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;
  ~SqliteTransaction();

  // False when BEGIN failed (lastError() says why).
  bool begun() const { return begun_; }
  bool commit();

 private:
  SqliteDatabase& db_;
  bool begun_ = false;
  bool done_ = false;
};

}  // namespace tmx
