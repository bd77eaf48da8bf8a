// A 64-bit finaliser that scatters seeds and positions into well-mixed bits:
// the emulator's one source of deterministic "randomness" per sector.
#pragma once

#include <cstdint>

namespace tmx::emu {

constexpr uint64_t hashMix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ull;
  return x ^ (x >> 33);
}

}  // namespace tmx::emu
