// Pure rules of the transport: which way data moves for an operation code, how
// long its CDB is, and the 24-bit sense code kept after every command.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tmx {

// aspi::kDirIn (08h) or aspi::kDirOut (10h) for each operation code. Codes that
// move no data are listed as data in.
const std::array<uint8_t, 256>& directionTable();

// Below 20h: 6 bytes; 20h..5Fh: 10 bytes; 60h and above: 12 bytes.
constexpr uint8_t cdbLength(uint8_t opcode) {
  return opcode < 0x20 ? 6 : opcode < 0x60 ? 10 : 12;
}

// Sense byte 2 (whole, flags included) << 16 | ASC << 8 | ASCQ. Bytes missing
// from a short sense area count as 0.
uint32_t composeSenseCode(std::span<const uint8_t> sense);

}  // namespace tmx
