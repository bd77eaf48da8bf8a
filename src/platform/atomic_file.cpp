#include "platform/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <string>

namespace tmx {
namespace {

constexpr int kPollMs = 50;

bool cancelled(const WriteControl& control) { return control.cancel != nullptr && control.cancel->load(); }

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Writes to a pipe, terminal or device without ever blocking for long: each
// piece waits until the descriptor takes bytes, looking at the cancel flag
// between waits. Pieces of at most PIPE_BUF bytes, so that a write after the
// poll cannot block even on a descriptor opened blocking (one we share and
// must not switch). Returns 0 or the errno of the failure.
int writeWithoutBlocking(int fd, std::string_view bytes, const WriteControl& control) {
  using Clock = std::chrono::steady_clock;
  auto lastProgress = Clock::now();
  while (!bytes.empty()) {
    if (cancelled(control)) return ECANCELED;
    pollfd watched{fd, POLLOUT, 0};
    const int ready = ::poll(&watched, 1, kPollMs);
    if (ready < 0 && errno != EINTR) return errno;
    if (ready <= 0) {
      if (!control.cancel && Clock::now() - lastProgress > std::chrono::seconds(kStalledOutputSeconds)) {
        return ETIMEDOUT;
      }
      continue;
    }
    const ssize_t n = ::write(fd, bytes.data(), std::min<size_t>(bytes.size(), PIPE_BUF));
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
    lastProgress = Clock::now();
  }
  return 0;
}

// Opens a fresh file next to the target; mode 0666 less the umask, as a plain
// create would give. Returns the descriptor or -1 with errno set.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                             std::to_string(now.tv_nsec + attempt);
    temporary = target.parent_path() / name;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The path a chain of symbolic links ends at, existing or not (a dangling
// link names the file to create). After 40 links, as the kernel counts, the
// chain is a loop: false.
bool followLinks(std::filesystem::path& path) {
  for (int hops = 0; hops <= 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return true;
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) return true;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return false;
}

// The descriptor a path names when it is one of the process's own
// (/dev/stdout, /dev/fd/N, /proc/self/fd/N), or -1. Written through the
// descriptor itself, the output keeps its place among the program's other
// output, whatever the descriptor is open on.
int ownDescriptor(const std::filesystem::path& path) {
  const std::string p = path.lexically_normal().string();
  if (p == "/dev/stdout") return 1;
  if (p == "/dev/stderr") return 2;
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!p.starts_with(prefix) || p.size() == prefix.size() || p.size() > prefix.size() + 6) continue;
    int fd = 0;
    for (const char c : p.substr(prefix.size())) {
      if (c < '0' || c > '9') return -1;
      fd = fd * 10 + (c - '0');
    }
    return fd;
  }
  return -1;
}

// The first of the process's own descriptors met along a chain of links.
int ownDescriptorAlong(std::filesystem::path path) {
  for (int hops = 0; hops < 40; ++hops) {
    if (const int fd = ownDescriptor(path); fd >= 0) return fd;
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) break;
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return -1;
}

// Opens without blocking: a FIFO without a reader fails with ENXIO instead
// of waiting in open(), so the wait for a reader can be given up.
int openInPlace(const std::filesystem::path& target, const WriteControl& control) {
  const auto start = std::chrono::steady_clock::now();
  bool announced = false;
  for (;;) {
    if (cancelled(control)) {
      errno = ECANCELED;
      return -1;
    }
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 || errno != ENXIO) return fd;
    if (!control.cancel && std::chrono::steady_clock::now() - start > std::chrono::seconds(kStalledOutputSeconds)) {
      errno = ENXIO;
      return -1;
    }
    if (!announced && control.waitingForReader) control.waitingForReader();
    announced = true;
    ::poll(nullptr, 0, kPollMs);
  }
}

// A pipe, a terminal or a device cannot be renamed over: written in place.
int writeInPlace(const std::filesystem::path& target, std::string_view bytes, const WriteControl& control) {
  const int fd = openInPlace(target, control);
  if (fd < 0) return errno;
  int error = writeWithoutBlocking(fd, bytes, control);
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

}  // namespace

int writeFileAtomically(const std::filesystem::path& requested, std::string_view bytes, const WriteControl& control) {
  if (cancelled(control)) return ECANCELED;
  if (const int fd = ownDescriptorAlong(requested); fd >= 0) return writeWithoutBlocking(fd, bytes, control);
  struct stat existing {};
  const bool exists = ::stat(requested.c_str(), &existing) == 0;
  if (!exists && errno == ELOOP) return ELOOP;
  // /dev/stdout and the like are links to things that have no path of their
  // own: open them as named.
  if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
    return writeInPlace(requested, bytes, control);
  }

  // Replace the file a link points at, never the link itself.
  std::filesystem::path target = requested;
  if (!followLinks(target)) return ELOOP;
  // rename() would replace a read-only file that a plain create would refuse.
  if (exists && ::access(target.c_str(), W_OK) != 0) return errno;

  std::filesystem::path temporary;
  const int fd = createTemporary(target, temporary);
  if (fd < 0) return errno;
  bool ok = true;
  int error = 0;
  if (exists && S_ISREG(existing.st_mode)) {
    // The new file keeps the old one's permissions (and owner, where allowed).
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      // Only root may give a file away; the mode is kept regardless.
    }
    if (::fchmod(fd, existing.st_mode & 07777) != 0) {
      ok = false;
      error = errno;
    }
  }
  ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
  if (!ok && error == 0) error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) ::unlink(temporary.c_str());
  return error;
}

}  // namespace tmx
