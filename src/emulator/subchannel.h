// Sub-channel data of a sector as READ CD, READ CD MSF and the vendor CD-DA
// read return it: the Q frame (mode 1: control/ADR, track, index, relative
// and absolute time in BCD, CRC-16 inverted), formatted as 16 bytes or
// interleaved into the 96 raw P-W bytes (P in bit 7, Q in bit 6).
#pragma once

#include <array>
#include <cstdint>

#include "emulator/disc.h"

namespace tmx::emu {

inline constexpr size_t kRawSubBytes = 96;
inline constexpr size_t kFormattedQBytes = 16;

// The 12 bytes of Q at `lba`; before LBA 0 a lead-in frame (track 0), past
// the disc's end the lead-out (track AAh).
std::array<uint8_t, 12> qFrame(const Disc& disc, int32_t lba);
// CRC-16 of the Q frame (polynomial 1021h, zero start), stored inverted.
uint16_t qCrc(const uint8_t* bytes, size_t length);
// Writes the sub-channel of one sector: 16 bytes of Q, or 96 raw P-W bytes.
void fillSubchannel(const Disc& disc, int32_t lba, bool raw, uint8_t* out);

}  // namespace tmx::emu
