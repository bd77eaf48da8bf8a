// Checks of what a read returned, for the ripping check: the sub-channel's Q
// (raw P-W de-interleaved, or formatted) and where it sits in the sector, and
// whether a sector holds audio at all.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "drive/cdb_builders.h"

namespace tmx {

// CRC-16 of a Q frame's first 10 bytes (polynomial 1021h, zero start), as the
// disc stores it: inverted, big-endian in bytes 10-11.
uint16_t qFrameCrc(std::span<const uint8_t> bytes);
// Q of 96 raw P-W bytes: bit 6 of each byte, most significant bit first.
std::array<uint8_t, 12> deinterleaveQ(std::span<const uint8_t, 96> raw);
// The absolute LBA a mode-1 Q frame gives (its time less 00:02:00), when its
// CRC holds and its BCD is valid; lead-in frames (track 0) are not positions.
std::optional<int32_t> qAbsoluteLba(std::span<const uint8_t, 12> q);
// Where in `sector` (one sector of a read with `sub`) the sub-channel of `lba`
// lies: after the audio, after 294 or 296 C2 bytes, or first. Empty when no
// candidate holds the right position.
std::optional<uint32_t> findSubchannel(std::span<const uint8_t> sector, int32_t lba, SubChoice sub);
// More than 10 distinct byte values in the first 2352 bytes: music or data,
// not silence or a fill pattern.
bool holdsSignal(std::span<const uint8_t> sector);

}  // namespace tmx
