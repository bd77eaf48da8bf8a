#include "emulator/subchannel.h"

#include <cstring>

#include "emulator/byte_order.h"

namespace tmx::emu {

uint16_t qCrc(const uint8_t* bytes, size_t length) {
  uint16_t crc = 0;
  for (size_t i = 0; i < length; ++i) {
    crc ^= static_cast<uint16_t>(bytes[i] << 8);
    for (int k = 0; k < 8; ++k) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return static_cast<uint16_t>(~crc);
}

std::array<uint8_t, 12> qFrame(const Disc& disc, int32_t lba) {
  std::array<uint8_t, 12> q{};
  const Track* t = lba >= 0 && lba < disc.capacity() ? disc.trackAt(lba) : nullptr;
  const std::vector<Track>& tracks = disc.tracks();
  const bool data = t != nullptr ? t->data : !tracks.empty() && (lba < 0 ? tracks.front() : tracks.back()).data;
  q[0] = static_cast<uint8_t>((data ? 0x40 : 0x00) | 0x01);
  uint8_t track = 0xAA;
  int32_t relative = lba - disc.capacity();
  if (t != nullptr) {
    track = toBcd(t->number);
    relative = lba - t->start;
  } else if (lba < 0) {
    track = 0;
    relative = -lba;
  }
  q[1] = track;
  q[2] = t != nullptr && disc.silentAt(lba) ? 0x00 : 0x01;
  const int32_t rel = relative < 0 ? -relative : relative;
  q[3] = toBcd(static_cast<uint8_t>(rel / 4500));
  q[4] = toBcd(static_cast<uint8_t>(rel / 75 % 60));
  q[5] = toBcd(static_cast<uint8_t>(rel % 75));
  const Msf abs = lbaToMsf(lba);
  q[7] = toBcd(abs.m);
  q[8] = toBcd(abs.s);
  q[9] = toBcd(abs.f);
  const uint16_t crc = qCrc(q.data(), 10);
  q[10] = static_cast<uint8_t>(crc >> 8);
  q[11] = static_cast<uint8_t>(crc);
  return q;
}

void fillSubchannel(const Disc& disc, int32_t lba, bool raw, uint8_t* out) {
  const std::array<uint8_t, 12> q = qFrame(disc, lba);
  if (!raw) {
    std::memset(out, 0, kFormattedQBytes);
    std::memcpy(out, q.data(), q.size());
    return;
  }
  // P marks the pause before a track: set through its silent stretch.
  const uint8_t p = q[2] == 0x00 ? 0x80 : 0x00;
  for (size_t i = 0; i < kRawSubBytes; ++i) {
    const bool bit = (q[i / 8] >> (7 - i % 8)) & 1;
    out[i] = static_cast<uint8_t>(p | (bit ? 0x40 : 0x00));
  }
}

}  // namespace tmx::emu
