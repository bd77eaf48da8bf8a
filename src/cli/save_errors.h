// What the headless front end prints when a file cannot be written: always
// the full path and a cause, where the window's message boxes name a cause
// only for the common ones.
#pragma once

#include <filesystem>
#include <string>

#include "results/file_messages.h"

namespace tmx::cli {

// "Error saving PATH" and "\r\n\n" and the cause; an unusual errno is named
// by the system's own text.
std::string saveFailureText(const std::filesystem::path& path, int errorNumber);

// `status.error`, with the system's text of its errno added when it names no
// cause.
std::string fileStatusText(const FileStatus& status);

}  // namespace tmx::cli
