// A StoredRun in the library's tables and back. The figure columns come from
// makeRunReport of the record, so the list never disagrees with the run; the
// record itself is kept whole (its persisted block as the DAT bytes), so a
// loaded run is the one that was recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "library/sqlite_database.h"
#include "library/stored_run.h"

namespace tmx {

// The columns a RunSummary is read from, in the order readSummary expects.
extern const char* const kSummaryColumns;
RunSummary readSummary(const SqliteStatement& row);

// Inserts the run and its lines; the new id, nullopt on failure (the
// database's lastError says why). The caller holds the transaction.
std::optional<int64_t> insertRun(SqliteDatabase& db, const StoredRun& run);

// The run of `id`: nullopt when there is none or a read failed; `error`
// then says which ("" for no such run).
std::optional<StoredRun> readRun(SqliteDatabase& db, int64_t id, std::string& error);

}  // namespace tmx
