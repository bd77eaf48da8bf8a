// The byte image of TestResults' persisted block: 464 bytes, little-endian
// two's complement ints, IEEE 754 binary64 doubles, no padding.
//
//   0 formatVersion (8)   8 discLength   12 discType   16 speedSamples (50 x 8)
//   416 daeScore   420 accurateStream   424 cpuUsage (4 x 4)   440 randomSeekMs
//   444 oneThirdSeekMs   448 fullSeekMs   452 burstRate   456 readSpeed
//   460 reserved (4)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "results/test_results.h"

namespace tmx {

inline constexpr size_t kPersistedBlockSize = 464;
using PersistedBlock = std::array<uint8_t, kPersistedBlockSize>;

PersistedBlock encodePersistedBlock(const TestResults& results);
// Overwrites every persisted member; the live members are left alone.
void decodePersistedBlock(std::span<const uint8_t, kPersistedBlockSize> block, TestResults& results);

}  // namespace tmx
