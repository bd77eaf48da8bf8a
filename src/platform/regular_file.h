// Opening files the user names for reading: a FIFO, a terminal or a device
// node would block or never end, so only regular files are read.
#pragma once

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string>

namespace tmx {

// errno value of a path that exists but is neither a regular file nor a folder.
inline constexpr int kNotRegularFile = EINVAL;

// Opens without blocking and keeps the descriptor only for a regular file.
// Returns it, or -1 with errno set: EISDIR for a folder, kNotRegularFile for
// anything else that is not a regular file.
int openRegularFile(const std::filesystem::path& path);

// Reads a whole regular file of at most `maxBytes`. Returns 0, or the errno of
// the failure (EFBIG when the file is larger).
int readRegularFile(const std::filesystem::path& path, size_t maxBytes, std::string& out);

}  // namespace tmx
