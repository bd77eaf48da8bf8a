// The results library: every run kept in one SQLite file, listed newest
// first, loaded back as the record it was, removed on request. Errors are
// values: a call that fails gives the cause ("database is locked"), which
// the caller puts in its line beside path().
//
//   ResultsLibrary lib = ResultsLibrary::open(defaultLibraryPath(getenv("XDG_DATA_HOME"), getenv("HOME")));
//   if (lib.state() == LibraryState::Failed) puts(lib.reason().c_str());
//   LibraryResult<int64_t> id = lib.record(run);
//   LibraryResult<std::vector<RunSummary>> rows = lib.list({.drive = "ABC CDROM 40X 1.0a"});
//   LibraryResult<StoredRun> again = lib.load(*id.value);
//   LibraryResult<int64_t> check = lib.recordRipping(storedCheck);   // a ripping-features check
//
// One ResultsLibrary is one SQLite connection, for one thread at a time; other
// threads and processes open their own (WAL lets readers go on while one writes).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/stored_ripping.h"
#include "library/stored_run.h"

namespace tmx {

class SqliteDatabase;

// The schema this program writes; a file of a later one opens read-only.
inline constexpr int kLibrarySchemaVersion = 3;
// The oldest schema whose runs this program reads without migrating it (a
// file it cannot write is read as it is from this version on).
inline constexpr int kRunsSchemaVersion = 2;

enum class LibraryState {
  Ready,     // reads and writes
  ReadOnly,  // reads only; reason() says why (a newer schema, a file that cannot be written)
  Failed,    // neither; reason() names the file and the cause
};

struct LibraryOptions {
  // How long a write waits for another process's transaction to end.
  std::chrono::milliseconds busyTimeout{5000};
  // A size limit in pages (PRAGMA max_page_count); none when empty.
  std::optional<int64_t> maxPageCount{};
  // Open for reading only, whatever the file allows.
  bool readOnly = false;
};

// A value, or the one line that says why there is none.
template <class T>
struct LibraryResult {
  std::optional<T> value;
  std::string error;  // the cause; empty when value holds
  bool damaged = false;  // the file is corrupt: setAsideBadLibrary and a new one can help

  explicit operator bool() const { return value.has_value(); }
};

// Which runs list() returns: all, or those of one drive and/or one disc, as
// RunSummary::drive and RunSummary::disc name them (drives(), discs()).
struct RunFilter {
  std::optional<std::string> drive{};
  std::optional<std::string> disc{};
  std::optional<StoredRunKind> kind{};
  int64_t limit = 0;  // 0: no limit
};

class ResultsLibrary {
 public:
  // Opens or creates the file (and its folder), migrates an older schema,
  // turns on WAL. Never throws: the state says how it went.
  static ResultsLibrary open(const std::filesystem::path& path, const LibraryOptions& options = {});

  ResultsLibrary(ResultsLibrary&&) noexcept;
  ResultsLibrary& operator=(ResultsLibrary&&) noexcept;
  ~ResultsLibrary();

  LibraryState state() const { return state_; }
  // Empty when Ready; "Results library FILE is ...: CAUSE" otherwise.
  const std::string& reason() const { return reason_; }
  const std::filesystem::path& path() const { return path_; }
  // The file's PRAGMA user_version as found on opening (0 for a new file).
  int schemaVersion() const { return schemaVersion_; }
  // Failed because the file is no database or a corrupt one: the window
  // offers to keep it as .bad and start a new library (setAsideBadLibrary).
  bool damaged() const { return damaged_; }

  // Writes one run in one transaction; its id, or why it was not recorded.
  // The summary's time, kind, drive, disc and outcome are kept as given; its
  // figures are taken from the record (makeRunReport), so they always agree.
  LibraryResult<int64_t> record(const StoredRun& run);
  // Writes all runs in one transaction, or none of them.
  LibraryResult<std::vector<int64_t>> recordAll(std::span<const StoredRun> runs);

  // Summaries, newest first (by time, then by id).
  LibraryResult<std::vector<RunSummary>> list(const RunFilter& filter = {}) const;
  // The distinct drive and disc names, sorted, for the filter lists.
  LibraryResult<std::vector<std::string>> drives() const;
  LibraryResult<std::vector<std::string>> discs() const;

  // The run as it was recorded; an unknown id is an error ("No run 12 in ...").
  LibraryResult<StoredRun> load(int64_t id) const;
  // Several runs, in the order of `ids`; fails as a whole when one is missing.
  LibraryResult<std::vector<StoredRun>> loadAll(std::span<const int64_t> ids) const;
  // Every id, newest first.
  LibraryResult<std::vector<int64_t>> allIds() const;

  // Removes the runs in one transaction; the number removed.
  LibraryResult<int64_t> remove(std::span<const int64_t> ids);

  // Ripping-features checks, kept apart from the runs (ids of their own).
  // Writes one check with its lines in one transaction; its id.
  LibraryResult<int64_t> recordRipping(const StoredRippingCheck& check);
  // Summaries, newest first; those of one drive (as RippingCheckSummary::drive
  // names it) when `drive` is given.
  LibraryResult<std::vector<RippingCheckSummary>> listRipping(const std::optional<std::string>& drive = {}) const;
  // The check as it was recorded; an unknown id is an error ("no ripping check 4").
  LibraryResult<StoredRippingCheck> loadRipping(int64_t id) const;

 private:
  ResultsLibrary() = default;
  ResultsLibrary& fail(const std::string& cause);
  void prepareSchema(const LibraryOptions& options);
  bool migrate();
  std::optional<std::string> unwritable() const;
  // False for an older file read as it is, which has no table of them.
  bool hasRippingChecks() const { return state_ != LibraryState::ReadOnly || schemaVersion_ >= 3; }
  LibraryResult<std::vector<std::string>> distinct(const char* column) const;

  std::filesystem::path path_;
  std::chrono::milliseconds busyTimeout_{0};
  LibraryState state_ = LibraryState::Failed;
  std::string reason_;
  int schemaVersion_ = 0;
  bool damaged_ = false;
  std::unique_ptr<SqliteDatabase> db_;
};

// $XDG_DATA_HOME/tachometrix/results.sqlite when XDG_DATA_HOME is set and
// absolute, else $HOME/.local/share/tachometrix/results.sqlite; empty when
// neither is usable. Pass the environment's values (nullptr when unset).
std::filesystem::path defaultLibraryPath(const char* xdgDataHome, const char* home);

// Keeps a damaged library beside its place as FILE.bad (an older .bad is
// replaced; the -wal and -shm files go with it), so a new one can be started
// at FILE. nullopt on success, else why not. Destroy the ResultsLibrary
// that found it damaged first: it may still hold the file open.
std::optional<std::string> setAsideBadLibrary(const std::filesystem::path& path);

}  // namespace tmx
