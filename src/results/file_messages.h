// Outcome of a file command and the texts its message box shows.
#pragma once

#include <filesystem>
#include <string>

namespace tmx {

// Empty `error` = success; otherwise the message box text.
struct FileStatus {
  std::string error;
  int errorNumber = 0;  // the errno behind `error`, when there was one
  bool ok() const { return error.empty(); }
};

// "Error opening %s" of the full path, with "\r\n\n" and the cause for a
// missing file, denied access and too many open files.
std::string openErrorMessage(const std::filesystem::path& path, int errorNumber);
// The same style for a save: "Error saving %s", the cause when known.
std::string saveErrorMessage(const std::filesystem::path& path, int errorNumber);

}  // namespace tmx
