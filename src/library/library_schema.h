// The library's tables and their versions (PRAGMA user_version). Version 1
// was the first file this program wrote; each later version is one
// migration step from the one before, run in the opener's transaction.
//
//   runs          one row per run: who, what, when, the summary figures
//                 (units in the column names, NULL when not measured) and
//                 the record (persisted block, live members, medium, scan)
//   zones         a DVD's or BD's transfer zones, with their LBAs
//   failed_blocks a read scan's failed reads
//   status_lines  the status list as the run left it
//   drive_check_lines (version 2) the drive check's lines, when one was made
//   ripping_checks (version 3) one row per ripping-features check: who, what,
//                 when, how it ended, its verdict and its answers as JSON
//   ripping_check_lines (version 3) the check's text, line by line
#pragma once

#include "library/sqlite_database.h"

namespace tmx {

// Runs the steps that bring a file of `fromVersion` to `toVersion`
// (0 = a new file) and sets user_version. The caller holds the transaction.
bool migrateLibrary(SqliteDatabase& db, int fromVersion, int toVersion);

}  // namespace tmx
