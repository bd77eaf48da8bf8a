// A read-only ISO image file as the user data of a data disc. Sectors past the
// end of the file (or that cannot be read) come back as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tmx::emu {

class IsoImage {
 public:
  // Opens the file; ok() tells whether that worked.
  explicit IsoImage(const std::string& path);
  ~IsoImage();
  IsoImage(const IsoImage&) = delete;
  IsoImage& operator=(const IsoImage&) = delete;

  bool ok() const { return fd_ >= 0; }
  int32_t sectors() const { return sectors_; }
  void read(int32_t lba, size_t sectors, uint8_t* out, size_t stride) const;

 private:
  int fd_ = -1;
  int32_t sectors_ = 0;
};

}  // namespace tmx::emu
