#include "results/persisted_block.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>

#include "results/crc_checksum.h"

namespace tmx {
namespace {

std::span<const uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

uint32_t le32(const PersistedBlock& b, size_t offset) {
  return b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | static_cast<uint32_t>(b[offset + 3]) << 24;
}

TEST(CrcChecksum, MatchesTheKnownValues) {
  EXPECT_EQ(crcChecksum(bytesOf("abc")), 0x1F169DD6u);
  EXPECT_EQ(crcChecksum(bytesOf("123456789")), 0xB5A331C3u);
  EXPECT_EQ(crcChecksum({}), 0u);
  // Low half is the plain CRC-16/XMODEM; bytes >= 80h enter sign-extended, so
  // the upper half differs from an unsigned reading.
  EXPECT_EQ(crcChecksum(bytesOf("123456789")) & 0xFFFF, 0x31C3u);
  const uint8_t high[] = {0x80};
  EXPECT_EQ(crcChecksum(high), 0xFF889188u);
}

TEST(ResetRecord, FillsTheBlockWithFFAndTheVersion) {
  TestResults r;
  r.daeErrors = 7;
  r.spinUpTime = 1.5;
  resetRecord(r);
  const PersistedBlock b = encodePersistedBlock(r);

  EXPECT_EQ(std::memcmp(b.data(), "0.6B\0\xFF\xFF\xFF", 8), 0);
  for (size_t i = 8; i < b.size(); ++i) ASSERT_EQ(b[i], 0xFF) << "offset " << i;
  EXPECT_EQ(r.discLength, -1);
  EXPECT_EQ(r.burstRate, -1);
  EXPECT_TRUE(std::isnan(r.speedSamples[0]));
  EXPECT_EQ(r.spinUpTime, -1.0);
  EXPECT_EQ(r.spinDownTime, -1.0);
  EXPECT_EQ(r.daeErrors, 7);  // live members other than the spin times stay
  EXPECT_EQ(formatVersionText(r), "0.6B");
}

TEST(PersistedBlock, PutsEveryFieldAtItsOffsetLittleEndian) {
  TestResults r;
  std::memcpy(r.formatVersion.data(), "1.2Q\0xyz", 8);
  r.discLength = 0x01020304;
  r.discType = -2;
  for (int i = 0; i < kSpeedSampleCount; ++i) r.speedSamples[i] = i + 0.5;
  r.daeScore = 0x11;
  r.accurateStream = 0x22;
  r.cpuUsage = {0x31, 0x32, 0x33, 0x34};
  r.randomSeekMs = 0x41;
  r.oneThirdSeekMs = 0x42;
  r.fullSeekMs = 0x43;
  r.burstRate = 0x51;
  r.readSpeed = 0x0A0B0C0D;
  r.reserved = {0xDE, 0xAD, 0xBE, 0xEF};
  const PersistedBlock b = encodePersistedBlock(r);

  EXPECT_EQ(std::memcmp(b.data(), "1.2Q\0xyz", 8), 0);
  EXPECT_EQ(b[8], 0x04);
  EXPECT_EQ(b[11], 0x01);
  EXPECT_EQ(le32(b, 12), 0xFFFFFFFEu);
  // 1.5 = 3FF8000000000000h, little-endian at offset 16 + 8.
  const uint8_t onePointFive[8] = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
  EXPECT_EQ(std::memcmp(b.data() + 24, onePointFive, 8), 0);
  EXPECT_EQ(le32(b, 16 + 49 * 8 + 4), std::bit_cast<uint64_t>(49.5) >> 32);
  EXPECT_EQ(le32(b, 416), 0x11u);
  EXPECT_EQ(le32(b, 420), 0x22u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(le32(b, 424 + 4 * i), 0x31 + i);
  EXPECT_EQ(le32(b, 440), 0x41u);
  EXPECT_EQ(le32(b, 444), 0x42u);
  EXPECT_EQ(le32(b, 448), 0x43u);
  EXPECT_EQ(le32(b, 452), 0x51u);
  EXPECT_EQ(le32(b, 456), 0x0A0B0C0Du);
  EXPECT_EQ(le32(b, 460), 0xEFBEADDEu);

  TestResults back;
  back.spinUpTime = 3.0;
  decodePersistedBlock(b, back);
  EXPECT_EQ(encodePersistedBlock(back), b);
  EXPECT_EQ(back.spinUpTime, 3.0);
  EXPECT_EQ(back.discType, -2);
  EXPECT_EQ(back.speedSamples[7], 7.5);
}

TEST(PersistedBlock, KeepsNanPayloadsBitForBit) {
  PersistedBlock b{};
  for (size_t i = 16; i < 24; ++i) b[i] = 0xFF;                     // the reset NaN
  const uint8_t otherNan[8] = {1, 2, 3, 4, 5, 6, 0xF8, 0x7F};  // a quiet NaN with a payload
  std::memcpy(b.data() + 24, otherNan, 8);
  TestResults r;
  decodePersistedBlock(b, r);
  EXPECT_EQ(encodePersistedBlock(r), b);
}

}  // namespace
}  // namespace tmx
