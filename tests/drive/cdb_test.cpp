// CDB layouts byte for byte. Distinct values (LBA 123456h, count 1A2Bh) catch a
// field written twice or a byte never set.
#include <gtest/gtest.h>

#include "drive/cdb_builders.h"
#include "drive/cdb_rules.h"
#include "platform/aspi_codes.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes cdbOf(const CdbRequest& r) { return Bytes(r.bytes.begin(), r.bytes.begin() + cdbLength(r.bytes[0])); }

TEST(CdbBuilders, ReadsCarryLbaCountAndTransferLength) {
  auto r = read10Cdb(0x12345, 16);
  EXPECT_EQ(cdbOf(r), (Bytes{0x28, 0, 0, 0x01, 0x23, 0x45, 0, 0, 0x10, 0}));
  EXPECT_EQ(r.transferLength, 32768u);

  r = read12Cdb(0x123456, 26);
  EXPECT_EQ(cdbOf(r), (Bytes{0xA8, 0, 0, 0x12, 0x34, 0x56, 0, 0, 0, 0x1A, 0, 0}));
  EXPECT_EQ(r.transferLength, 0u) << "above 25 blocks nothing may be transferred";

  r = readCdAudioCdb(0, 25);
  EXPECT_EQ(cdbOf(r), (Bytes{0xBE, 0x04, 0, 0, 0, 0, 0, 0, 0x19, 0x10, 0, 0}));
  EXPECT_EQ(r.transferLength, 58800u);

  r = readCddaCdb(0x123456, 0x1A2B);
  EXPECT_EQ(cdbOf(r), (Bytes{0xD8, 0, 0, 0x12, 0x34, 0x56, 0, 0x00, 0x1A, 0x2B, 0, 0}));
  EXPECT_EQ(readCddaCdb(1, 3).transferLength, 3u * 2352);

  r = readCdCdb(0xFA, 0x123456, 15, 2646);
  EXPECT_EQ(cdbOf(r), (Bytes{0xBE, 0, 0, 0x12, 0x34, 0x56, 0, 0, 0x0F, 0xFA, 0, 0}));
  EXPECT_EQ(r.transferLength, 15u * 2646);

  r = read10Cdb(0x123456, 0x1A2B, 2352);
  EXPECT_EQ(cdbOf(r), (Bytes{0x28, 0, 0, 0x12, 0x34, 0x56, 0, 0x1A, 0x2B, 0}));
  EXPECT_EQ(read10Cdb(7, 25, 2352).transferLength, 25u * 2352);
}

TEST(CdbBuilders, WideReadsCarryAll32BitsOfTheLba) {
  auto r = read10WideCdb(0x0174E7FF, 0x1A);
  EXPECT_EQ(cdbOf(r), (Bytes{0x28, 0, 0x01, 0x74, 0xE7, 0xFF, 0, 0x00, 0x1A, 0}));
  EXPECT_EQ(r.transferLength, 26u * 2048);
  r = read12WideCdb(0x12345678, 32);
  EXPECT_EQ(cdbOf(r), (Bytes{0xA8, 0, 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0x20, 0, 0}));
  EXPECT_EQ(r.transferLength, 32u * 2048);
  EXPECT_EQ(read12WideCdb(0, 33).transferLength, 0u) << "above 32 blocks nothing may be transferred";
  EXPECT_EQ(cdbOf(seek10WideCdb(0x12345678)), (Bytes{0x2B, 0, 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0}));
}

TEST(CdbBuilders, LbaTopByteIsAlwaysZero) {
  EXPECT_EQ(cdbOf(read10Cdb(0xFF123456, 1))[2], 0);
  EXPECT_EQ(cdbOf(seek10Cdb(0xFF123456)), (Bytes{0x2B, 0, 0, 0x12, 0x34, 0x56, 0, 0, 0, 0}));
  EXPECT_EQ(cdbOf(seek6Cdb(0x123456)), (Bytes{0x0B, 0x12, 0x34, 0x56, 0, 0}));
}

TEST(CdbBuilders, ProbeAndControlCommands) {
  EXPECT_EQ(cdbOf(readTocCdb(2, 3000)), (Bytes{0x43, 0, 0, 0, 0, 0, 0, 0x0B, 0xB8, 0x80}));
  EXPECT_EQ(cdbOf(readTocCdb(0, 804)), (Bytes{0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0x00}));
  EXPECT_EQ(cdbOf(readTocPmaAtipCdb(4, 3, 0x1A2B)), (Bytes{0x43, 0, 4, 0, 0, 0, 3, 0x1A, 0x2B, 0}));
  EXPECT_EQ(cdbOf(readDiscInformationCdb(0x1A2B)), (Bytes{0x51, 0, 0, 0, 0, 0, 0, 0x1A, 0x2B, 0}));
  EXPECT_EQ(cdbOf(setReadSpeedCdb(1408)), (Bytes{0xBB, 0, 0x05, 0x80, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(cdbOf(modeSensePage2aCdb()), (Bytes{0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 0x1E, 0}));
  EXPECT_EQ(cdbOf(inquiryCdb()), (Bytes{0x12, 0, 0, 0, 0x38, 0}));
  EXPECT_EQ(inquiryCdb().transferLength, 56u);
  EXPECT_EQ(cdbOf(requestSenseCdb()), (Bytes{0x03, 0, 0, 0, 0x12, 0}));
  EXPECT_EQ(cdbOf(stopUnitCdb()), (Bytes{0x1B, 0, 0, 0, 0, 0}));
  EXPECT_EQ(stopUnitCdb().transferLength, 0u);
  EXPECT_EQ(cdbOf(modeSelect10Cdb()), (Bytes{0x55, 0x10, 0, 0, 0, 0, 0, 0, 0x10, 0}));
  EXPECT_EQ(cdbOf(modeSelect6Cdb()), (Bytes{0x15, 0, 0, 0, 0x0C, 0}));
}

TEST(CdbBuilders, ModeSenseOfOnePageLeavesRoomForHeaderAndDescriptor) {
  CdbRequest r = modeSense6PageCdb(0x2A, 30);
  EXPECT_EQ(cdbOf(r), (Bytes{0x1A, 0, 0x2A, 0, 42, 0}));
  EXPECT_EQ(r.transferLength, 42u);
  EXPECT_EQ(modeSense6PageCdb(0x2A, 250).transferLength, 255u) << "the 6-byte form allocates at most 255";
  r = modeSense10PageCdb(0x01, 0x1A2B);
  EXPECT_EQ(cdbOf(r), (Bytes{0x5A, 0, 0x01, 0, 0, 0, 0, 0x1A, 0x3B, 0}));
  EXPECT_EQ(r.transferLength, 0x1A3Bu);
  EXPECT_EQ(modeSense10PageCdb(0x2A, 0xFFFF).transferLength, 0xFFFFu);
}

TEST(CdbBuilders, BlockModeParameterLists) {
  EXPECT_EQ(blockModeList10(BlockModeAudio),
            (Bytes{0, 0x10, 0, 0, 0, 0, 0, 8, 0x82, 0, 0, 0, 0, 0x00, 0x09, 0x30}));
  EXPECT_EQ(blockModeList10(BlockModeAudioC2),
            (Bytes{0, 0x10, 0, 0, 0, 0, 0, 8, 0x82, 0, 0, 0, 0, 0x00, 0x0A, 0x56}));
  EXPECT_EQ(blockModeList6(BlockModeData), (Bytes{0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0x08, 0}));
  EXPECT_EQ(modeSelect6List(0x82, 2646), (Bytes{0, 0, 0, 8, 0x82, 0, 0, 0, 0, 0, 0x0A, 0x56}));
  EXPECT_EQ(modeSelect10List(0x00, 0x1A2B),
            (Bytes{0, 0x10, 0, 0, 0, 0, 0, 8, 0x00, 0, 0, 0, 0, 0x00, 0x1A, 0x2B}));
  EXPECT_TRUE(blockModeList10(3).empty());
  EXPECT_TRUE(blockModeList6(-1).empty());
}

TEST(CdbBuilders, DvdAndBdCommands) {
  CdbRequest r = getConfigurationCdb(FeatureRequest::One, 0x1A2B, 0x3C4D);
  EXPECT_EQ(cdbOf(r), (Bytes{0x46, 0x02, 0x1A, 0x2B, 0, 0, 0, 0x3C, 0x4D, 0}));
  EXPECT_EQ(r.transferLength, 0x3C4Du);
  EXPECT_EQ(cdbOf(getConfigurationCdb(FeatureRequest::Current, 0, 8))[1], 0x01);

  r = readDiscStructureCdb(0x01, 0x12345678, 0x01, 0x0E, 0x1A2B);
  EXPECT_EQ(cdbOf(r), (Bytes{0xAD, 0x01, 0x12, 0x34, 0x56, 0x78, 0x01, 0x0E, 0x1A, 0x2B, 0, 0}));
  EXPECT_EQ(r.transferLength, 0x1A2Bu);
  EXPECT_EQ(cdbOf(readDiscStructureCdb(0xF1, 0, 0, 0x11, 4))[1], 0x01) << "the media type is a nibble";

  r = getPerformanceCdb(0x123456, 0x1A2B);
  EXPECT_EQ(cdbOf(r), (Bytes{0xAC, 0x10, 0x00, 0x12, 0x34, 0x56, 0, 0, 0x1A, 0x2B, 0x00, 0}));
  EXPECT_EQ(r.transferLength, 8u + 16u * 0x1A2B);

  r = setStreamingCdb();
  EXPECT_EQ(cdbOf(r), (Bytes{0xB6, 0, 0, 0, 0, 0, 0, 0, 0x00, 0, 28, 0}));
  EXPECT_EQ(r.transferLength, 28u);
  EXPECT_EQ(streamingPerformanceList(0x123456, 0x1A2B3C),
            (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x12, 0x34, 0x56, 0x00, 0x1A, 0x2B, 0x3C, 0, 0, 0x03, 0xE8,
                   0x00, 0x1A, 0x2B, 0x3C, 0, 0, 0x03, 0xE8}));
}

TEST(CdbRules, LengthAndDirectionByOpcode) {
  EXPECT_EQ(cdbLength(0x28), 10);
  EXPECT_EQ(cdbLength(0x15), 6);
  EXPECT_EQ(cdbLength(0x1F), 6);
  EXPECT_EQ(cdbLength(0x20), 10);
  EXPECT_EQ(cdbLength(0x5F), 10);
  EXPECT_EQ(cdbLength(0x60), 12);
  EXPECT_EQ(cdbLength(0xA8), 12);
  EXPECT_EQ(cdbLength(0xBE), 12);
  EXPECT_EQ(cdbLength(0xD8), 12);

  int outCount = 0;
  for (int op = 0; op < 256; ++op) outCount += directionTable()[static_cast<size_t>(op)] == aspi::kDirOut;
  EXPECT_EQ(outCount, 14);
  for (uint8_t op : {0x04, 0x0A, 0x15, 0x1D, 0x2A, 0x3B, 0x54, 0x55, 0x5D, 0xAA, 0xB6, 0xE2, 0xF0, 0xFD}) {
    EXPECT_EQ(directionTable()[op], aspi::kDirOut) << int{op};
  }
  for (uint8_t op : {0x00, 0x28, 0xD8, 0xBB, 0x1B}) EXPECT_EQ(directionTable()[op], aspi::kDirIn) << int{op};
}

TEST(CdbRules, SenseCodeTakesByte2Whole) {
  std::vector<uint8_t> sense(14, 0);
  sense[2] = 0x02;
  sense[12] = 0x3A;
  EXPECT_EQ(composeSenseCode(sense), 0x023A00u);
  sense[2] |= 0x20;  // incorrect length
  EXPECT_EQ(composeSenseCode(sense), 0x223A00u);
  EXPECT_EQ(composeSenseCode(std::span<const uint8_t>(sense).first(3)), 0x220000u);
  EXPECT_EQ(composeSenseCode({}), 0u);
}

}  // namespace
}  // namespace tmx

namespace tmx {
namespace {

Bytes ripCdbOf(const CdbRequest& r) { return Bytes(r.bytes.begin(), r.bytes.begin() + 12); }

TEST(CdbBuilders, RippingReadsCarryC2SubchannelAndSignedPositions) {
  auto r = readCdRipCdb(0x123456, 0x19, C2Choice::Pointers, SubChoice::RawPw, false);
  EXPECT_EQ(ripCdbOf(r), (Bytes{0xBE, 0x04, 0x00, 0x12, 0x34, 0x56, 0x00, 0x00, 0x19, 0xFA, 0x01, 0}));
  EXPECT_EQ(r.transferLength, 25u * (2352 + 294 + 96));
  r = readCdRipCdb(-3, 2, C2Choice::WithBlockErrors, SubChoice::FormattedQ, true);
  EXPECT_EQ(ripCdbOf(r), (Bytes{0xBE, 0x00, 0xFF, 0xFF, 0xFF, 0xFD, 0x00, 0x00, 0x02, 0xFC, 0x02, 0}))
      << "a lead-in LBA is negative, all 32 bits";
  EXPECT_EQ(r.transferLength, 2u * (2352 + 296 + 16));
  EXPECT_EQ(readCdRipCdb(0, 26, C2Choice::None, SubChoice::None, false).transferLength, 0u);

  // LBA 1000 is 00:15:25; 1000 + 0x1A sectors end at 00:15:51 (exclusive).
  r = readCdMsfRipCdb(1000, 0x1A - 1, C2Choice::Pointers, SubChoice::None, false);
  EXPECT_EQ(ripCdbOf(r), (Bytes{0xB9, 0x04, 0, 0x00, 15, 25, 0x00, 15, 50, 0xFA, 0x00, 0}));
  EXPECT_EQ(r.transferLength, 25u * (2352 + 294));
  r = readCdMsfRipCdb(0x12345, 1, C2Choice::None, SubChoice::RawPw, true);  // 74565 + 150: 16:36:15
  EXPECT_EQ(ripCdbOf(r), (Bytes{0xB9, 0x00, 0, 16, 36, 15, 16, 36, 16, 0xF8, 0x01, 0}));
  EXPECT_EQ(readCdMsfRipCdb(-150, 1, C2Choice::None, SubChoice::None, false).bytes[5], 0) << "LBA -150 is 00:00:00";

  r = readCddaRipCdb(0x123456, 0x1A2B, SubChoice::FormattedQ);
  EXPECT_EQ(ripCdbOf(r), (Bytes{0xD8, 0, 0x00, 0x12, 0x34, 0x56, 0x00, 0x00, 0x1A, 0x2B, 0x01, 0}));
  EXPECT_EQ(r.transferLength, 0u);
  EXPECT_EQ(readCddaRipCdb(-1, 3, SubChoice::RawPw).bytes[2], 0xFF);
  EXPECT_EQ(readCddaRipCdb(7, 3, SubChoice::RawPw).bytes[10], 0x02);
  EXPECT_EQ(readCddaRipCdb(7, 3, SubChoice::RawPw).transferLength, 3u * 2448);
  EXPECT_EQ(ripSectorBytes(C2Choice::None, SubChoice::FormattedQ), 2368u);
}

}  // namespace
}  // namespace tmx
