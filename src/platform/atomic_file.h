// The atomic file write that every save of the program uses.
#pragma once

#include <filesystem>
#include <string_view>

namespace tmx {

// Writes `bytes` to a new file in the target's folder and renames it over the
// target only when all of it is written, so a failed save leaves the old file
// as it was. An existing target that is not writable is not replaced. A
// symbolic link is followed (the file it points at is replaced, keeping the
// link); the replaced file's permissions are kept; a pipe, terminal or device
// is written directly, and one of the process's own descriptors (/dev/stdout,
// /dev/fd/N) through that descriptor, after what it already holds. Returns 0,
// or the errno of the failure.
int writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace tmx
