#include "program/run_import.h"

#include <sys/stat.h>

#include <cerrno>

#include "library/run_bundle.h"
#include "library/stored_run_builder.h"
#include "platform/regular_file.h"
#include "results/dat_file.h"
#include "results/file_messages.h"
#include "results/status_log.h"

namespace tmx {
namespace {

constexpr size_t kMaxImportBytes = 256u << 20;

// A DAT file as a CD run; the load's error when it cannot be read.
std::string readDatRun(const std::filesystem::path& path, Clock& clock, std::vector<StoredRun>& runs) {
  ResultsModel model;
  StatusLog lines(clock);
  const FileStatus status = loadDatFile(path, model, lines);
  if (!status.ok()) return status.error;
  FinishedRun finished{model.record, RunOutcome::LoadedFromFile};
  struct stat st {};
  finished.endTime = std::chrono::system_clock::from_time_t(::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0);
  finished.statusLines = lines.lines();
  StoredRun run = storedRunOf(finished);
  run.summary.drive = kDatFileDriveName;
  runs.push_back(std::move(run));
  return {};
}

std::string readFileRuns(const std::filesystem::path& path, Clock& clock, std::vector<StoredRun>& runs) {
  std::string bytes;
  if (const int error = readRegularFile(path, kMaxImportBytes, bytes); error != 0)
    return openErrorMessage(path, error == EISDIR ? 0 : error);
  const size_t first = bytes.find_first_not_of(" \t\r\n");
  if (first == std::string::npos || bytes[first] != '{') return readDatRun(path, clock, runs);
  BundleRead read = readBundle(bytes);
  if (!read.error.empty()) return path.string() + " is refused, nothing of it is imported: " + read.error;
  for (StoredRun& run : read.runs) runs.push_back(std::move(run));
  return {};
}

}  // namespace

ImportRead readRunsToImport(std::span<const std::filesystem::path> files, Clock& clock) {
  ImportRead read;
  for (const std::filesystem::path& path : files) {
    read.error = readFileRuns(path, clock, read.runs);
    if (!read.error.empty()) {
      read.runs.clear();
      break;
    }
  }
  return read;
}

}  // namespace tmx
