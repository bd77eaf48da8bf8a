#include "ripping/stream_offset.h"

#include <cstdlib>
#include <cstring>

namespace tmx {

std::optional<int32_t> streamOffsetFrames(std::span<const uint8_t> reference, std::span<const uint8_t> window,
                                          int32_t leadFrames, int32_t maxFrames) {
  // Nearest first, so the smallest jump that matches is the one reported.
  for (int32_t d = 0; d <= maxFrames; ++d) {
    for (int32_t s : {d, -d}) {
      if (d == 0 && s != 0) continue;
      const int64_t at = int64_t{leadFrames + s} * kFrameBytes;
      if (at < 0 || at + static_cast<int64_t>(reference.size()) > static_cast<int64_t>(window.size())) continue;
      if (std::memcmp(window.data() + at, reference.data(), reference.size()) == 0) return s;
    }
  }
  return std::nullopt;
}

}  // namespace tmx
