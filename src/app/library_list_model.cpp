#include "app/library_list_model.h"

#include "library/run_bundle.h"
#include "program/run_import.h"
#include "platform/atomic_file.h"
#include "results/file_messages.h"
#include "results/format_string.h"

namespace tmx {
namespace {

template <typename T>
std::string orDash(const std::optional<T>& value, const char* format) {
  return value ? formatString(format, *value) : std::string("-");
}

std::string seeksText(const RunSummary& run) {
  if (!run.randomSeekMs && !run.oneThirdSeekMs && !run.fullSeekMs) return "-";
  return orDash(run.randomSeekMs, "%d") + " / " + orDash(run.oneThirdSeekMs, "%d") + " / " +
         orDash(run.fullSeekMs, "%d") + " ms";
}

}  // namespace

LibraryRow libraryRowOf(const RunSummary& run) {
  std::string when = run.utcTime.substr(0, 16);
  if (when.size() > 10 && when[10] == 'T') when[10] = ' ';
  std::string outcome(outcomeName(run.outcome));
  if (run.kind == StoredRunKind::QualityCheck) outcome += " (check)";
  return {run.id,
          {when, run.drive, run.disc, orDash(run.averageX, "%.2f X"), seeksText(run), orDash(run.daeScore, "%d"),
           orDash(run.burstMBps, "%d MB/s"), outcome}};
}

ResultsLibrary* LibraryListModel::library() {
  ResultsLibrary* lib = access_.library();
  failed_ = lib == nullptr;
  damaged_ = access_.damaged();
  readOnly_ = lib && lib->state() == LibraryState::ReadOnly;
  return lib;
}

void LibraryListModel::refresh() {
  rows_.clear();
  drives_.clear();
  discs_.clear();
  ResultsLibrary* lib = library();
  if (!lib) {
    status_ = access_.failure();
    return;
  }
  auto runs = lib->list(filter_);
  auto drives = lib->drives();
  auto discs = lib->discs();
  if (!runs || !drives || !discs) {
    // A file can open and still be found corrupt when read.
    status_ = !runs ? runs.error : !drives ? drives.error : discs.error;
    failed_ = true;
    damaged_ = runs.damaged || drives.damaged || discs.damaged;
    return;
  }
  for (const RunSummary& run : *runs.value) rows_.push_back(libraryRowOf(run));
  drives_ = std::move(*drives.value);
  discs_ = std::move(*discs.value);
  status_ = std::to_string(rows_.size()) + (rows_.size() == 1 ? " run" : " runs") + " in " + lib->path().string();
  if (readOnly_) status_ += " (read-only: " + lib->reason() + ")";
}

std::optional<std::string> LibraryListModel::startNewLibrary() {
  auto error = access_.startNewLibrary();
  refresh();
  return error;
}

std::optional<std::string> LibraryListModel::remove(const std::vector<int64_t>& ids) {
  ResultsLibrary* lib = library();
  if (!lib) return access_.failure();
  const auto removed = lib->remove(ids);
  refresh();
  return removed ? std::nullopt : std::optional(removed.error);
}

std::optional<std::string> LibraryListModel::exportBundle(const std::vector<int64_t>& ids, const std::string& path) {
  ResultsLibrary* lib = library();
  if (!lib) return access_.failure();
  const auto runs = lib->loadAll(ids);
  if (!runs) return runs.error;
  const int error = writeFileAtomically(path, bundleText(*runs.value));
  return error == 0 ? std::nullopt : std::optional(saveErrorMessage(path, error));
}

LibraryResult<StoredRun> LibraryListModel::load(int64_t id) {
  ResultsLibrary* lib = library();
  if (!lib) return {std::nullopt, access_.failure()};
  return lib->load(id);
}

std::optional<std::string> LibraryListModel::importFiles(const std::vector<std::filesystem::path>& files,
                                                         Clock& clock) {
  ResultsLibrary* lib = library();
  if (!lib) return access_.failure();
  const ImportRead read = readRunsToImport(files, clock);
  if (!read.error.empty()) return read.error;
  const auto ids = lib->recordAll(read.runs);
  refresh();
  return ids ? std::nullopt : std::optional(ids.error);
}

LibraryResult<std::vector<ComparedRun>> LibraryListModel::compared(const std::vector<int64_t>& ids) {
  if (!canCompare(ids.size())) return {std::nullopt, "Select 2 to 8 runs to compare them"};
  ResultsLibrary* lib = library();
  if (!lib) return {std::nullopt, access_.failure()};
  const auto runs = lib->loadAll(ids);
  if (!runs) return {std::nullopt, runs.error};
  std::vector<ComparedRun> compared;
  for (const StoredRun& run : *runs.value) compared.push_back(comparedRunOf(run));
  return {std::move(compared), {}};
}

}  // namespace tmx
