#include "program/run_recorder.h"

namespace tmx {

ResultsLibrary* RunRecorder::library() {
  if (!enabled()) return nullptr;
  if (!library_) library_.emplace(ResultsLibrary::open(*path_, options_));
  return &*library_;
}

std::optional<std::string> RunRecorder::record(const FinishedRun& run) {
  if (!enabled() || !worthRecording(run)) return std::nullopt;
  ResultsLibrary& lib = *library();
  if (lib.state() != LibraryState::Ready) {
    const std::string line = "Run not recorded: " + lib.reason();
    // A damaged file, a folder that cannot be made: tried again next time,
    // the user may have fixed it.
    if (lib.state() == LibraryState::Failed) close();
    return line;
  }
  const auto id = lib.record(storedRunOf(run));
  if (!id) return notRecordedLine(*path_, id.error);
  lastId_ = *id.value;
  return std::nullopt;
}

std::optional<std::filesystem::path> libraryPathOf(const std::optional<std::filesystem::path>& chosen, bool off,
                                                   const char* xdgDataHome, const char* home) {
  if (off) return std::nullopt;
  if (chosen) return chosen;
  std::filesystem::path path = defaultLibraryPath(xdgDataHome, home);
  if (path.empty()) return std::nullopt;
  return path;
}

std::string notRecordedLine(const std::filesystem::path& file, const std::string& cause) {
  return "Run not recorded in the results library " + file.string() + ": " + cause;
}

}  // namespace tmx
