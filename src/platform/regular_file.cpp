#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tmx {

int openRegularFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  int error = 0;
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    error = kNotRegularFile;
  }
  if (error == 0) {
    // Reads of a regular file never block; clear the flag all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  ::close(fd);
  errno = error;
  return -1;
}

int readRegularFile(const std::filesystem::path& path, size_t maxBytes, std::string& out) {
  const int fd = openRegularFile(path);
  if (fd < 0) return errno;
  out.clear();
  char chunk[65536];
  int error = 0;
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      break;
    }
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > maxBytes) {
      error = EFBIG;
      break;
    }
    out.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  return error;
}

}  // namespace tmx
