#include "app/library_access.h"

#include <cstdlib>

namespace tmx {

ResultsLibrary* LibraryAccess::library() {
  if (!library_) {
    if (path_.empty()) path_ = defaultLibraryPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    library_ = ResultsLibrary::open(path_);
  }
  return library_->state() == LibraryState::Failed ? nullptr : &*library_;
}

std::string LibraryAccess::failure() const {
  if (path_.empty() && library_) return "No place for the results library: neither XDG_DATA_HOME nor HOME is set";
  return library_ && library_->state() == LibraryState::Failed ? library_->reason() : std::string();
}

std::string LibraryAccess::readOnlyReason() const {
  return library_ && library_->state() == LibraryState::ReadOnly ? library_->reason() : std::string();
}

std::optional<std::string> LibraryAccess::startNewLibrary() {
  library_.reset();  // closes the file before it is moved
  if (beforeSetAside) beforeSetAside();
  if (path_.empty()) path_ = defaultLibraryPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (auto error = setAsideBadLibrary(path_)) {
    library_ = ResultsLibrary::open(path_);
    return error;
  }
  library_ = ResultsLibrary::open(path_);
  return library_->state() == LibraryState::Failed ? std::optional(library_->reason()) : std::nullopt;
}

}  // namespace tmx
