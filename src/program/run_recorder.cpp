#include "program/run_recorder.h"

namespace tmx {

ResultsLibrary* RunRecorder::library() {
  if (!enabled()) return nullptr;
  if (!library_) library_.emplace(ResultsLibrary::open(*path_, options_));
  return &*library_;
}

ResultsLibrary* RunRecorder::writable(const char* what, std::string& line) {
  ResultsLibrary& lib = *library();
  if (lib.state() == LibraryState::Ready) return &lib;
  line = std::string(what) + " not recorded: " + lib.reason();
  // A damaged file, a folder that cannot be made: tried again next time,
  // the user may have fixed it.
  if (lib.state() == LibraryState::Failed) close();
  return nullptr;
}

std::optional<std::string> RunRecorder::record(const FinishedRun& run) {
  if (!enabled() || !worthRecording(run)) return std::nullopt;
  std::string line;
  ResultsLibrary* lib = writable("Run", line);
  if (!lib) return line;
  const auto id = lib->record(storedRunOf(run));
  if (!id) return notRecordedLine(*path_, id.error);
  lastId_ = *id.value;
  return std::nullopt;
}

std::optional<std::string> RunRecorder::recordRipping(const StoredRippingCheck& check) {
  if (!enabled()) return std::nullopt;
  std::string line;
  ResultsLibrary* lib = writable("Ripping check", line);
  if (!lib) return line;
  const auto id = lib->recordRipping(check);
  if (!id) return notRecordedLine(*path_, id.error, "Ripping check");
  lastRippingId_ = *id.value;
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

std::string notRecordedLine(const std::filesystem::path& file, const std::string& cause, const char* what) {
  return std::string(what) + " not recorded in the results library " + file.string() + ": " + cause;
}

}  // namespace tmx
