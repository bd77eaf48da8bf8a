// What the results library's dialog shows and does, without widgets: the
// runs of the library (date, drive, disc, average speed, seeks, DAE, burst,
// outcome) filtered by drive and by disc, and the commands on the selected
// runs: delete, export as a bundle, open one, compare 2 to 8; and import.
//
//   LibraryListModel model(access);
//   model.refresh();
//   for (const auto& row : model.rows()) show(row.cells);
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/library_access.h"
#include "platform/clock.h"
#include "program/compared_run.h"

namespace tmx {

inline constexpr std::array<const char*, 8> kLibraryColumns = {"Date",  "Drive", "Disc",  "Average",
                                                               "Seeks", "DAE",   "Burst", "Outcome"};

struct LibraryRow {
  int64_t id = 0;
  std::array<std::string, kLibraryColumns.size()> cells;
};

// One line of the list: "2026-12-09 06:14", the drive, the disc, "40.12 X",
// "85 / 95 / 160 ms" (random, 1/3, full), "10", "25 MB/s", "completed";
// "-" for what was not measured, "check" after a check's outcome.
LibraryRow libraryRowOf(const RunSummary& run);

class LibraryListModel {
 public:
  explicit LibraryListModel(LibraryAccess& access) : access_(access) {}

  // Opens the library if it is not open yet, reads the filter lists and the
  // runs that pass the filters.
  void refresh();
  const std::vector<LibraryRow>& rows() const { return rows_; }
  const std::vector<std::string>& drives() const { return drives_; }
  const std::vector<std::string>& discs() const { return discs_; }
  // nullopt: every drive, every disc.
  void setDriveFilter(std::optional<std::string> drive) { filter_.drive = std::move(drive); }
  void setDiscFilter(std::optional<std::string> disc) { filter_.disc = std::move(disc); }
  const std::optional<std::string>& driveFilter() const { return filter_.drive; }
  const std::optional<std::string>& discFilter() const { return filter_.disc; }

  // One line under the list: "3 runs in FILE", or why the library failed.
  const std::string& statusText() const { return status_; }
  // The library could not be opened or read.
  bool failed() const { return failed_; }
  // Its file is damaged (no database, a corrupt one): the dialog offers a new library.
  bool damaged() const { return damaged_; }
  bool readOnly() const { return readOnly_; }
  // Keeps the old file as FILE.bad, starts a new library, refreshes; why not, or nullopt.
  std::optional<std::string> startNewLibrary();

  // Each returns why it failed, or nullopt; the list is read again after a delete.
  std::optional<std::string> remove(const std::vector<int64_t>& ids);
  std::optional<std::string> exportBundle(const std::vector<int64_t>& ids, const std::string& path);
  LibraryResult<StoredRun> load(int64_t id);
  // Adds the runs of bundles or DAT files, all or none; the list is read again.
  std::optional<std::string> importFiles(const std::vector<std::filesystem::path>& files, Clock& clock);
  // 2 to 8 runs, in the order given.
  LibraryResult<std::vector<ComparedRun>> compared(const std::vector<int64_t>& ids);
  // Whether `count` selected runs can be compared.
  static bool canCompare(size_t count) { return count >= 2 && count <= static_cast<size_t>(kMaxComparedRuns); }

 private:
  ResultsLibrary* library();
  LibraryAccess& access_;
  RunFilter filter_;
  std::vector<LibraryRow> rows_;
  std::vector<std::string> drives_, discs_;
  std::string status_;
  bool failed_ = false;
  bool damaged_ = false;
  bool readOnly_ = false;
};

}  // namespace tmx
