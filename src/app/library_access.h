// The window's results library, opened at its first use (the window's
// start-up never waits for it): the file of $XDG_DATA_HOME or the one given.
// A library that fails to open says why in one line, and can be set aside as
// FILE.bad for a new one.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "library/results_library.h"

namespace tmx {

class LibraryAccess {
 public:
  // An empty path: the default place of the environment's XDG_DATA_HOME or HOME.
  explicit LibraryAccess(std::filesystem::path path = {}) : path_(std::move(path)) {}

  // Opens the file on the first call; nullptr when it failed (failure() says why).
  ResultsLibrary* library();
  bool opened() const { return library_.has_value(); }
  const std::filesystem::path& path() const { return path_; }
  // Empty while the library works: "Results library FILE is ...: CAUSE".
  std::string failure() const;
  // Failed on a file that is no database or a corrupt one: a new library can help.
  bool damaged() const { return library_ && library_->damaged(); }
  // The library read-only (a newer schema): why, or empty.
  std::string readOnlyReason() const;
  // Keeps the failed file as FILE.bad and opens a new one; why not, or nullopt.
  std::optional<std::string> startNewLibrary();
  // Called before the file is set aside, so other holders of it (the run
  // recorder) close it first.
  std::function<void()> beforeSetAside;

 private:
  std::filesystem::path path_;
  std::optional<ResultsLibrary> library_;
};

}  // namespace tmx
