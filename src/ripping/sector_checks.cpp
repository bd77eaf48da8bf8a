#include "ripping/sector_checks.h"

#include <algorithm>
#include <bitset>

namespace tmx {
namespace {

std::optional<int> fromBcd(uint8_t v) {
  if ((v >> 4) > 9 || (v & 0x0F) > 9) return std::nullopt;
  return (v >> 4) * 10 + (v & 0x0F);
}

std::optional<int32_t> lbaAt(std::span<const uint8_t> sector, size_t offset, SubChoice sub) {
  const size_t length = sub == SubChoice::RawPw ? 96 : 16;
  if (offset + length > sector.size()) return std::nullopt;
  std::array<uint8_t, 12> q{};
  if (sub == SubChoice::RawPw) {
    q = deinterleaveQ(std::span<const uint8_t, 96>(sector.data() + offset, 96));
  } else {
    std::copy_n(sector.begin() + static_cast<std::ptrdiff_t>(offset), 12, q.begin());
  }
  return qAbsoluteLba(q);
}

}  // namespace

uint16_t qFrameCrc(std::span<const uint8_t> bytes) {
  uint16_t crc = 0;
  for (uint8_t b : bytes) {
    crc ^= static_cast<uint16_t>(b << 8);
    for (int k = 0; k < 8; ++k) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return static_cast<uint16_t>(~crc);
}

std::array<uint8_t, 12> deinterleaveQ(std::span<const uint8_t, 96> raw) {
  std::array<uint8_t, 12> q{};
  for (size_t i = 0; i < 96; ++i) {
    if (raw[i] & 0x40) q[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  }
  return q;
}

std::optional<int32_t> qAbsoluteLba(std::span<const uint8_t, 12> q) {
  if ((q[0] & 0x0F) != 1 || q[1] == 0) return std::nullopt;
  const uint16_t crc = qFrameCrc(q.first(10));
  if (q[10] != static_cast<uint8_t>(crc >> 8) || q[11] != static_cast<uint8_t>(crc)) return std::nullopt;
  const auto m = fromBcd(q[7]), s = fromBcd(q[8]), f = fromBcd(q[9]);
  if (!m || !s || !f || *s > 59 || *f > 74) return std::nullopt;
  return (*m * 60 + *s) * 75 + *f - 150;
}

std::optional<uint32_t> findSubchannel(std::span<const uint8_t> sector, int32_t lba, SubChoice sub) {
  if (sub == SubChoice::None) return std::nullopt;
  for (uint32_t offset : {2352u, 2352u + 294u, 2352u + 296u, 0u}) {
    if (lbaAt(sector, offset, sub) == lba) return offset;
  }
  return std::nullopt;
}

bool holdsSignal(std::span<const uint8_t> sector) {
  std::bitset<256> seen;
  for (uint8_t b : sector.first(std::min<size_t>(sector.size(), 2352))) seen.set(b);
  return seen.count() > 10;
}

}  // namespace tmx
