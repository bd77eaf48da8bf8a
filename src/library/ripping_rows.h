// A StoredRippingCheck in the table ripping_checks and its lines, and back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "library/sqlite_database.h"
#include "library/stored_ripping.h"

namespace tmx {

// The columns a RippingCheckSummary is read from, in the order
// readRippingSummary expects.
extern const char* const kRippingSummaryColumns;
RippingCheckSummary readRippingSummary(const SqliteStatement& row);

// Inserts the check and its lines; the new id, nullopt on failure (the
// database's lastError says why). The caller holds the transaction.
std::optional<int64_t> insertRippingCheck(SqliteDatabase& db, const StoredRippingCheck& check);

// The check of `id`: nullopt when there is none or a read failed; `error`
// then says which ("" for no such check).
std::optional<StoredRippingCheck> readRippingCheck(SqliteDatabase& db, int64_t id, std::string& error);

}  // namespace tmx
