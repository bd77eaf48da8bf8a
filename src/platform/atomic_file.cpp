#include "platform/atomic_file.h"

#include <fcntl.h>
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

}  // namespace

int writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  // rename() would replace a read-only file that a plain create would refuse.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) return errno;

  std::filesystem::path temporary;
  const int fd = createTemporary(target, temporary);
  if (fd < 0) return errno;
  bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
  int error = ok ? 0 : errno;
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
