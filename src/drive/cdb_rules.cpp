#include "drive/cdb_rules.h"

#include "platform/aspi_codes.h"

namespace tmx {

const std::array<uint8_t, 256>& directionTable() {
  static constexpr std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    t.fill(aspi::kDirIn);
    // WRITE(6), FORMAT, MODE SELECT(6), SEND DIAGNOSTIC, WRITE(10), WRITE BUFFER,
    // SEND OPC, MODE SELECT(10), SEND CUE SHEET, WRITE(12), SET STREAMING and
    // three vendor codes.
    for (uint8_t op : {0x04, 0x0A, 0x15, 0x1D, 0x2A, 0x3B, 0x54, 0x55, 0x5D, 0xAA, 0xB6, 0xE2, 0xF0, 0xFD}) {
      t[op] = aspi::kDirOut;
    }
    return t;
  }();
  return table;
}

uint32_t composeSenseCode(std::span<const uint8_t> sense) {
  auto at = [&](size_t i) -> uint32_t { return i < sense.size() ? sense[i] : 0; };
  return at(2) << 16 | at(12) << 8 | at(13);
}

}  // namespace tmx
