#include "results/crc_checksum.h"

namespace tmx {

uint32_t crcChecksum(std::span<const uint8_t> bytes) {
  uint32_t crc = 0;
  for (uint8_t byte : bytes) {
    // Bytes 80h..FFh are negative: their sign bits reach the upper half.
    crc ^= static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(byte))) << 8;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000u) ? (crc << 1) ^ 0x1021u : crc << 1;
    }
  }
  return crc;
}

}  // namespace tmx
