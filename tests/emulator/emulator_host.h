// Test side of the emulated adapter: sends CDBs as the SCSI manager would and
// keeps the last result, on a virtual clock.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "emulator/emulated_adapter.h"
#include "platform/aspi_codes.h"
#include "platform/clock.h"

namespace tmx::emu::testing {

struct Sent {
  ScsiResult result;
  std::vector<uint8_t> data;
  uint32_t senseCode() const {
    return (uint32_t{result.sense[2]} << 16) | (uint32_t{result.sense[12]} << 8) | result.sense[13];
  }
  bool good() const { return result.status == aspi::kComplete; }
};

inline Sent sendCdb(EmulatedAdapter& adapter, uint8_t target, std::vector<uint8_t> cdb, size_t dataLength,
                    DataDirection direction = DataDirection::In, std::vector<uint8_t> out = {}) {
  Sent s;
  s.data = out.empty() ? std::vector<uint8_t>(dataLength, 0) : std::move(out);
  ScsiCommand c;
  c.target = target;
  c.cdb = cdb;
  c.direction = s.data.empty() ? DataDirection::None : direction;
  c.data = s.data;
  s.result = adapter.execute(c);
  return s;
}

inline DiscSpec discOf(DiscContent content, int32_t sectors = 333'000, int tracks = 12) {
  DiscSpec d;
  d.content = content;
  d.sectors = sectors;
  d.tracks = tracks;
  return d;
}

// Common CDBs, built the way the program builds them.
inline std::vector<uint8_t> read10(uint32_t lba, uint16_t count) {
  return {0x28, 0, 0, uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba), 0, uint8_t(count >> 8), uint8_t(count), 0};
}
inline std::vector<uint8_t> readCd(uint32_t lba, uint32_t count, uint8_t flags, uint8_t type = 0) {
  return {0xBE, uint8_t(type << 2), 0, uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba),
          uint8_t(count >> 16), uint8_t(count >> 8), uint8_t(count), flags, 0, 0};
}
inline std::vector<uint8_t> readCdda(uint32_t lba, uint32_t count) {
  return {0xD8, 0, 0, uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba), 0, uint8_t(count >> 16),
          uint8_t(count >> 8), uint8_t(count), 0, 0};
}
inline std::vector<uint8_t> seek10(uint32_t lba) {
  return {0x2B, 0, 0, uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba), 0, 0, 0, 0};
}
inline std::vector<uint8_t> modeSelect10List(uint8_t density, uint32_t blockLength) {
  return {0, 0x10, 0, 0, 0, 0, 0, 8, density, 0, 0, 0, 0, uint8_t(blockLength >> 16), uint8_t(blockLength >> 8),
          uint8_t(blockLength)};
}
inline Sent modeSelect10(EmulatedAdapter& a, uint8_t target, uint8_t density, uint32_t blockLength) {
  return sendCdb(a, target, {0x55, 0x10, 0, 0, 0, 0, 0, 0, 0x10, 0}, 16, DataDirection::Out,
                 modeSelect10List(density, blockLength));
}

}  // namespace tmx::emu::testing
