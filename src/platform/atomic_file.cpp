#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

namespace tmx {
namespace {

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
// link names the file to create). Stops after 40 links, as the kernel does.
std::filesystem::path followLinks(std::filesystem::path path) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) break;
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
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

// A pipe, a terminal or a device cannot be renamed over: written in place.
int writeInPlace(const std::filesystem::path& target, std::string_view bytes) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = writeAll(fd, bytes) ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

}  // namespace

int writeFileAtomically(const std::filesystem::path& requested, std::string_view bytes) {
  if (const int fd = ownDescriptorAlong(requested); fd >= 0) return writeAll(fd, bytes) ? 0 : errno;
  struct stat existing {};
  const bool exists = ::stat(requested.c_str(), &existing) == 0;
  // /dev/stdout and the like are links to things that have no path of their
  // own: open them as named.
  if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) return writeInPlace(requested, bytes);

  // Replace the file a link points at, never the link itself.
  const std::filesystem::path target = followLinks(requested);
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
