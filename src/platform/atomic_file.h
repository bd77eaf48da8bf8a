// The atomic file write that every save of the program uses.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string_view>

namespace tmx {

// What a write may wait for and what ends the wait. A pipe without a reader,
// or a pipe or terminal that takes no more bytes, is waited for until
// `cancel` is set (the write then fails with ECANCELED); without a cancel
// flag, for kStalledOutputSeconds at most (ENXIO when no reader came,
// ETIMEDOUT when the bytes stopped going out).
struct WriteControl {
  const std::atomic<bool>* cancel = nullptr;
  // Called once, when the write starts to wait for a pipe's reader.
  std::function<void()> waitingForReader;
};

inline constexpr int kStalledOutputSeconds = 10;

// Writes `bytes` to a new file in the target's folder and renames it over the
// target only when all of it is written, so a failed save leaves the old file
// as it was. An existing target that is not writable is not replaced. A
// symbolic link is followed (the file it points at is replaced, keeping the
// link); a loop of links is refused (ELOOP) and left as it is; the replaced
// file's permissions are kept; a pipe, terminal or device is written
// directly, and one of the process's own descriptors (/dev/stdout,
// /dev/fd/N) through that descriptor, after what it already holds. A set
// cancel flag fails the write before it starts. Returns 0, or the errno of
// the failure.
int writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                        const WriteControl& control = {});

}  // namespace tmx
