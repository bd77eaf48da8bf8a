// What the tables of runs and of ripping checks share: binding and reading in
// column order, the drive and disc columns, and numbered lines of text kept
// under their row's id.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/sqlite_database.h"
#include "library/stored_run.h"

namespace tmx {

// Binds in column order.
struct Binder {
  SqliteStatement& st;
  int next = 1;
  template <class T>
  Binder& operator()(const T& value) {
    st.bind(next++, value);
    return *this;
  }
};

// Reads in column order.
struct Reader {
  const SqliteStatement& st;
  int next = 0;
  int64_t integer() { return st.integer(next++); }
  double real() { return st.real(next++); }
  std::string text() { return st.text(next++); }
  std::vector<uint8_t> blob() { return st.blob(next++); }
  std::optional<int64_t> optionalInteger() { return st.optionalInteger(next++); }
  std::optional<double> optionalReal() { return st.optionalReal(next++); }
  std::optional<int32_t> optionalInt32() {
    const auto v = optionalInteger();
    return v ? std::optional<int32_t>(static_cast<int32_t>(*v)) : std::nullopt;
  }
};

// drive_name, drive_vendor ... drive_driver, disc_name, disc_medium ...
// disc_manufacturer: the same fifteen columns in both tables. An unknown
// disc type or length is NULL.
extern const char* const kDriveDiscColumns;
void bindDriveAndDisc(Binder& b, const std::string& driveName, const StoredDrive& drive, const std::string& discName,
                      const StoredDisc& disc);
void readDriveAndDisc(Reader& r, std::string& driveName, StoredDrive& drive, std::string& discName, StoredDisc& disc);

// Lines in `table` (owner_column, seq, text) under `id`, in order. False on
// failure (the database's lastError says why).
bool insertLines(SqliteDatabase& db, const char* table, const char* ownerColumn, int64_t id,
                 const std::vector<std::string>& lines);
bool readLines(SqliteDatabase& db, const char* table, const char* ownerColumn, int64_t id,
               std::vector<std::string>& lines);

// "?1, ?2, ..., ?count".
std::string placeholders(int count);

}  // namespace tmx
