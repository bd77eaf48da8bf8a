// The 32-bit checksum of DAT files and of repeated audio reads.
//
// A CRC-16 (polynomial 1021h, initial value 0, no reflection, no final XOR)
// computed in a 32-bit accumulator that is never masked, so the bits shifted
// out above bit 15 stay in the result. Each byte enters sign-extended.
// Example: crcChecksum of "abc" is 0x1F169DD6; its low 16 bits are the CRC-16.
#pragma once

#include <cstdint>
#include <span>

namespace tmx {

uint32_t crcChecksum(std::span<const uint8_t> bytes);

}  // namespace tmx
