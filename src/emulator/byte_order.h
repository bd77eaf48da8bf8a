// Big-endian field writers and CD time conversions shared by the reply
// builders and the sector generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tmx::emu {

inline void putBe16(std::span<uint8_t> out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v >> 8);
  out[at + 1] = static_cast<uint8_t>(v);
}
inline void putBe24(std::span<uint8_t> out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v >> 16);
  putBe16(out, at + 1, v);
}
inline void putBe32(std::span<uint8_t> out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v >> 24);
  putBe24(out, at + 1, v);
}
inline uint32_t be16(std::span<const uint8_t> in, size_t at) {
  return (uint32_t{in[at]} << 8) | in[at + 1];
}
inline uint32_t be24(std::span<const uint8_t> in, size_t at) {
  return (uint32_t{in[at]} << 16) | be16(in, at + 1);
}
inline uint32_t be32(std::span<const uint8_t> in, size_t at) {
  return (uint32_t{in[at]} << 24) | be24(in, at + 1);
}

inline constexpr int kFramesPerSecond = 75;
inline constexpr int kLeadInOffset = 150;  // LBA 0 is MSF 00:02:00

struct Msf {
  uint8_t m = 0, s = 0, f = 0;
  friend bool operator==(const Msf&, const Msf&) = default;
};

// Absolute time of an LBA (the 2-second offset included); negative LBAs of
// the lead-in wrap below 100 minutes as drives report them.
constexpr Msf lbaToMsf(int32_t lba) {
  int32_t t = lba + kLeadInOffset;
  if (t < 0) t += 100 * 60 * kFramesPerSecond;
  return Msf{static_cast<uint8_t>(t / (60 * kFramesPerSecond)), static_cast<uint8_t>((t / kFramesPerSecond) % 60),
             static_cast<uint8_t>(t % kFramesPerSecond)};
}
// Sector count of a playing time (no offset), as ATIP times are counted.
constexpr int32_t msfFrames(Msf t) { return (t.m * 60 + t.s) * kFramesPerSecond + t.f; }
constexpr uint8_t toBcd(uint8_t v) { return static_cast<uint8_t>(((v / 10) << 4) | (v % 10)); }

}  // namespace tmx::emu
