#include "emulator/iso_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/regular_file.h"

namespace tmx::emu {

// Only a regular file: a FIFO named as the image would block the config reader.
IsoImage::IsoImage(const std::string& path) : fd_(openRegularFile(path)) {
  struct stat st {};
  if (fd_ >= 0 && ::fstat(fd_, &st) == 0) {
    sectors_ = static_cast<int32_t>(std::min<off_t>((st.st_size + 2047) / 2048, 100 * 60 * 75));
  }
}

IsoImage::~IsoImage() {
  if (fd_ >= 0) ::close(fd_);
}

void IsoImage::read(int32_t lba, size_t sectors, uint8_t* out, size_t stride) const {
  for (size_t i = 0; i < sectors; ++i) {
    uint8_t* dst = out + i * stride;
    const off_t at = (static_cast<off_t>(lba) + static_cast<off_t>(i)) * 2048;
    const ssize_t got = fd_ >= 0 ? ::pread(fd_, dst, 2048, at) : -1;
    const size_t have = got > 0 ? static_cast<size_t>(got) : 0;
    std::memset(dst + have, 0, 2048 - have);
  }
}

}  // namespace tmx::emu
