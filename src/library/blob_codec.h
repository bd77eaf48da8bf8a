// Arrays of the record as blobs: little-endian two's complement, no header.
// A blob of the wrong length decodes to nothing.
//
//   encodeInts<int32_t>({{1, -1}})  ->  01 00 00 00 FF FF FF FF
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

namespace tmx {

template <class Int>
std::vector<uint8_t> encodeInts(std::span<const Int> values) {
  static_assert(std::is_integral_v<Int>);
  std::vector<uint8_t> out;
  out.reserve(values.size() * sizeof(Int));
  for (const Int v : values) {
    const auto u = static_cast<std::make_unsigned_t<Int>>(v);
    for (size_t i = 0; i < sizeof(Int); ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
  }
  return out;
}

// False, with `out` untouched, unless the blob holds exactly out.size() values.
template <class Int>
bool decodeInts(std::span<const uint8_t> blob, std::span<Int> out) {
  static_assert(std::is_integral_v<Int>);
  if (blob.size() != out.size() * sizeof(Int)) return false;
  for (size_t k = 0; k < out.size(); ++k) {
    std::make_unsigned_t<Int> u = 0;
    for (size_t i = 0; i < sizeof(Int); ++i) u |= static_cast<std::make_unsigned_t<Int>>(blob[k * sizeof(Int) + i]) << (8 * i);
    out[k] = static_cast<Int>(u);
  }
  return true;
}

}  // namespace tmx
