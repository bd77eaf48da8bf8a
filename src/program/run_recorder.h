// Keeps every finished run in the results library, for the window and the
// CLI alike. The library is opened on the first run to record (never at
// start-up); a library that cannot take the run costs the run nothing: the
// caller gets one status line naming the file and the cause.
//
//   RunRecorder recorder(libraryPathOf(options));   // nullopt: --no-library
//   if (auto line = recorder.record(finished)) status.addStatusLine(*line);
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "library/results_library.h"
#include "library/stored_run_builder.h"

namespace tmx {

class RunRecorder {
 public:
  // No path: nothing is recorded.
  explicit RunRecorder(std::optional<std::filesystem::path> path, LibraryOptions options = {})
      : path_(std::move(path)), options_(options) {}

  bool enabled() const { return path_.has_value() && !path_->empty(); }
  const std::optional<std::filesystem::path>& path() const { return path_; }
  // The library, opened on first use; nullptr when recording is off. The
  // pointer holds until close(), or until a record() finds the library
  // failed (it is closed then, and opened again by the next use).
  ResultsLibrary* library();
  // Closes the library, so a damaged file can be set aside
  // (setAsideBadLibrary); the next use opens the file again.
  void close() { library_.reset(); }

  // Records the run when it is worth it (worthRecording). nullopt when it
  // was recorded or needs no record; else "Run not recorded in the results
  // library FILE: CAUSE".
  std::optional<std::string> record(const FinishedRun& run);
  // The id of the last run recorded.
  std::optional<int64_t> lastId() const { return lastId_; }

  // Records a ripping-features check, every one that ran. nullopt when it
  // was recorded; else "Ripping check not recorded in the results library
  // FILE: CAUSE" (or, for a library that cannot be used, its reason).
  std::optional<std::string> recordRipping(const StoredRippingCheck& check);
  std::optional<int64_t> lastRippingId() const { return lastRippingId_; }

 private:
  std::optional<std::filesystem::path> path_;
  LibraryOptions options_;
  std::optional<ResultsLibrary> library_;
  std::optional<int64_t> lastId_;
  std::optional<int64_t> lastRippingId_;

  // The library ready to write in, or the line that says why it is not
  // (`what` begins it: "Run", "Ripping check").
  ResultsLibrary* writable(const char* what, std::string& line);
};

// The library a program records in: `chosen` (--library FILE) when given,
// none when `off` (--no-library), else defaultLibraryPath of the environment's
// XDG_DATA_HOME and HOME.
std::optional<std::filesystem::path> libraryPathOf(const std::optional<std::filesystem::path>& chosen, bool off,
                                                   const char* xdgDataHome, const char* home);

// "Run not recorded in the results library FILE: CAUSE"; `what` replaces
// "Run" for other records.
std::string notRecordedLine(const std::filesystem::path& file, const std::string& cause, const char* what = "Run");

}  // namespace tmx
