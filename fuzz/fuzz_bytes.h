// Shared helpers of the fuzz targets: a reader that hands out the input piece
// by piece, and the check that a parser ignores bytes a drive did not send.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace tmx::fuzz {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool empty() const { return at_ >= bytes_.size(); }
  uint8_t byte() { return empty() ? 0 : bytes_[at_++]; }
  uint16_t u16() { return static_cast<uint16_t>(byte() << 8 | byte()); }
  // Up to `count` bytes; fewer at the end of the input.
  std::span<const uint8_t> take(size_t count) {
    const size_t n = std::min(count, bytes_.size() - std::min(at_, bytes_.size()));
    const auto piece = bytes_.subspan(std::min(at_, bytes_.size()), n);
    at_ += n;
    return piece;
  }
  std::span<const uint8_t> rest() { return take(bytes_.size()); }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

// The reply with every byte from `trusted` on replaced: what a buffer holding
// leftovers of an earlier command (or a prefill) looks like.
inline std::vector<uint8_t> withStaleTail(std::span<const uint8_t> reply, size_t trusted, uint8_t filler) {
  std::vector<uint8_t> copy(reply.begin(), reply.end());
  for (size_t i = std::min(trusted, copy.size()); i < copy.size(); ++i) copy[i] = static_cast<uint8_t>(copy[i] ^ filler);
  return copy;
}

inline void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace tmx::fuzz
