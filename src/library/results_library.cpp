#include "library/results_library.h"

namespace tmx {

class SqliteDatabase {};

ResultsLibrary::ResultsLibrary(ResultsLibrary&&) noexcept = default;
ResultsLibrary& ResultsLibrary::operator=(ResultsLibrary&&) noexcept = default;
ResultsLibrary::~ResultsLibrary() = default;

ResultsLibrary ResultsLibrary::open(const std::filesystem::path& path, const LibraryOptions&) {
  ResultsLibrary lib;
  lib.path_ = path;
  lib.reason_ = "Results library " + path.string() + " cannot be opened: not built yet";
  return lib;
}

namespace {
template <class T>
LibraryResult<T> notYet() {
  return {std::nullopt, "not built yet"};
}
}  // namespace

LibraryResult<int64_t> ResultsLibrary::record(const StoredRun&) { return notYet<int64_t>(); }
LibraryResult<std::vector<int64_t>> ResultsLibrary::recordAll(std::span<const StoredRun>) {
  return notYet<std::vector<int64_t>>();
}
LibraryResult<std::vector<RunSummary>> ResultsLibrary::list(const RunFilter&) const {
  return notYet<std::vector<RunSummary>>();
}
LibraryResult<std::vector<std::string>> ResultsLibrary::drives() const { return notYet<std::vector<std::string>>(); }
LibraryResult<std::vector<std::string>> ResultsLibrary::discs() const { return notYet<std::vector<std::string>>(); }
LibraryResult<StoredRun> ResultsLibrary::load(int64_t) const { return notYet<StoredRun>(); }
LibraryResult<std::vector<StoredRun>> ResultsLibrary::loadAll(std::span<const int64_t>) const {
  return notYet<std::vector<StoredRun>>();
}
LibraryResult<std::vector<int64_t>> ResultsLibrary::allIds() const { return notYet<std::vector<int64_t>>(); }
LibraryResult<int64_t> ResultsLibrary::remove(std::span<const int64_t>) { return notYet<int64_t>(); }

std::filesystem::path defaultLibraryPath(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return std::filesystem::path(xdgDataHome) / "tachometrix" / "results.sqlite";
  if (home && home[0] == '/') return std::filesystem::path(home) / ".local/share/tachometrix/results.sqlite";
  return {};
}

std::optional<std::string> setAsideBadLibrary(const std::filesystem::path&) { return "not built yet"; }

}  // namespace tmx
