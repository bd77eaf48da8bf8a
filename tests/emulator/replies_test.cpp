// Reply layouts of the identification, TOC, disc information and mode
// commands, read the way a host reads them.
#include <gtest/gtest.h>

#include "emulator/byte_order.h"
#include "emulator/presets.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;

uint32_t be32At(const std::vector<uint8_t>& d, size_t at) { return be32(d, at); }

class Replies : public ::testing::Test {
 protected:
  VirtualClock clock;
  std::unique_ptr<EmulatedAdapter> adapter = makePresetAdapter(clock);
  static constexpr uint8_t kAudio = 0, kData = 1, kPcav = 2, kCdr = 3, kCdrw = 5, kBlank = 6;
};

TEST_F(Replies, InquiryHonoursAllocationAndPadsTexts) {
  const auto full = sendCdb(*adapter, kData, {0x12, 0, 0, 0, 0x38, 0}, 56);
  EXPECT_EQ(full.result.transferred, 56);
  EXPECT_EQ(full.data[0], 0x05);
  EXPECT_EQ(full.data[1] & 0x80, 0x80);  // removable
  EXPECT_EQ(std::string(full.data.begin() + 8, full.data.begin() + 16), "NORDLYS ");
  EXPECT_EQ(std::string(full.data.begin() + 32, full.data.begin() + 36), "2.10");
  EXPECT_EQ(full.data[4] + 5, 96);  // the additional length tells the real length
  const auto cut = sendCdb(*adapter, kData, {0x12, 0, 0, 0, 5, 0}, 56);
  EXPECT_EQ(cut.result.transferred, 5);
  EXPECT_EQ(cut.data[8], 0);
  EXPECT_EQ(sendCdb(*adapter, kData, {0x12, 1, 0x80, 0, 0x38, 0}, 56).senseCode(), 0x052400u);
}

TEST_F(Replies, CapacityOfRecordedAndBlankDiscs) {
  const auto data = sendCdb(*adapter, kData, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  EXPECT_EQ(be32At(data.data, 0), 332'999u);
  EXPECT_EQ(be32At(data.data, 4), 2048u);
  const auto blank = sendCdb(*adapter, kBlank, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  EXPECT_TRUE(blank.good());
  EXPECT_EQ(be32At(blank.data, 0), 0xFFFFFF69u);
}

TEST_F(Replies, TocFormatMaySitInByteTwoOrInTheControlByte) {
  const auto mmc = sendCdb(*adapter, kAudio, {0x43, 0, 0x02, 0, 0, 0, 0, 0x0B, 0xB8, 0x00}, 3000);
  const auto old = sendCdb(*adapter, kAudio, {0x43, 0, 0x00, 0, 0, 0, 0, 0x0B, 0xB8, 0x80}, 3000);
  const auto toc = sendCdb(*adapter, kAudio, {0x43, 0, 0x00, 0, 0, 0, 0, 0x0B, 0xB8, 0x00}, 3000);
  ASSERT_TRUE(mmc.good());
  EXPECT_EQ(mmc.data, old.data);
  EXPECT_NE(mmc.data, toc.data);
}

TEST_F(Replies, TocFormatZeroDescribesEveryTrack) {
  const auto mmc = sendCdb(*adapter, kAudio, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0x00}, 804);
  ASSERT_TRUE(mmc.good());
  const int first = mmc.data[2], last = mmc.data[3];
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 14);
  const uint32_t length = be16(mmc.data, 0);
  EXPECT_EQ(length, 2u + 8u * 15u);
  uint32_t previous = 0;
  for (int i = 0; i <= last - first; ++i) {
    const size_t d = 4 + 8 * static_cast<size_t>(i);
    EXPECT_EQ(mmc.data[d + 1] & 0x04, 0) << "audio track";
    EXPECT_EQ(mmc.data[d + 2], first + i);
    const uint32_t start = be32At(mmc.data, d + 4);
    if (i == 0) {
      EXPECT_EQ(start, 0u);
    }
    EXPECT_GT(start + (i == 0), previous);
    previous = start;
  }
  EXPECT_EQ(mmc.data[4 + 8 * 14 + 2], 0xAA);
  EXPECT_EQ(be32At(mmc.data, 4 + 8 * 14 + 4), 333'000u);
}

TEST_F(Replies, TocIsCutToTheAllocationButKeepsItsRealLength) {
  const auto cut = sendCdb(*adapter, kData, {0x43, 0, 0, 0, 0, 0, 0, 0, 12, 0}, 804);
  EXPECT_EQ(cut.result.transferred, 12);
  EXPECT_EQ(be16(cut.data, 0), 18u);  // one track and the lead-out
  EXPECT_EQ(cut.data[5] & 0x04, 0x04);  // data track
  EXPECT_EQ(cut.data[12], 0);
}

TEST_F(Replies, TocInMsfAndFromALaterTrack) {
  const auto msf = sendCdb(*adapter, kAudio, {0x43, 0x02, 0, 0, 0, 0, 2, 0x03, 0x24, 0}, 804);
  ASSERT_TRUE(msf.good());
  EXPECT_EQ(msf.data[4 + 2], 2);  // first descriptor is track 2
  const auto lo = 4 + 8 * 13;
  EXPECT_EQ(msf.data[lo + 2], 0xAA);
  EXPECT_EQ(msf.data[lo + 5], 74);  // 333000 + 150 sectors = 74:02:00
  EXPECT_EQ(msf.data[lo + 6], 2);
  EXPECT_EQ(msf.data[lo + 7], 0);
  EXPECT_EQ(sendCdb(*adapter, kAudio, {0x43, 0, 0, 0, 0, 0, 15, 0x03, 0x24, 0}, 804).senseCode(), 0x052400u);
}

TEST_F(Replies, FullTocHasPointsA0A1A2AndTracks) {
  const auto full = sendCdb(*adapter, kData, {0x43, 0, 0, 0, 0, 0, 0, 0x0B, 0xB8, 0x80}, 3000);
  ASSERT_TRUE(full.good());
  ASSERT_EQ(be16(full.data, 0), 2u + 11u * 4u);
  EXPECT_EQ(full.data[4 + 3], 0xA0);
  EXPECT_EQ(full.data[4 + 8], 1);  // first track
  EXPECT_EQ(full.data[15 + 3], 0xA1);
  EXPECT_EQ(full.data[26 + 3], 0xA2);
  EXPECT_EQ(full.data[26 + 8], 74);  // lead-out 74:02:00
  EXPECT_EQ(full.data[26 + 9], 2);
  EXPECT_EQ(full.data[37 + 3], 1);   // track 1 at 00:02:00
  EXPECT_EQ(full.data[37 + 9], 2);
}

TEST_F(Replies, AtipOfRecordableMediaAndNoneOnPressedDiscs) {
  const auto cdr = sendCdb(*adapter, kCdr, {0x43, 0, 0x04, 0, 0, 0, 0, 0, 32, 0}, 32);
  ASSERT_TRUE(cdr.good());
  EXPECT_EQ(be16(cdr.data, 0), 26u);
  EXPECT_EQ(cdr.data[8], 97);
  EXPECT_EQ(cdr.data[9], 24);
  EXPECT_EQ(cdr.data[10], 1);
  EXPECT_EQ(cdr.data[12], 79);
  EXPECT_EQ(cdr.data[6] & 0x40, 0);  // CD-R
  EXPECT_EQ(cdr.data[16] & 0x0F, 8);
  const auto rw = sendCdb(*adapter, kCdrw, {0x43, 0, 0x04, 0, 0, 0, 0, 0, 32, 0}, 32);
  EXPECT_EQ(rw.data[6] & 0x40, 0x40);
  EXPECT_EQ(rw.data[9], 27);
  EXPECT_EQ(rw.data[13], 45);
  EXPECT_EQ(sendCdb(*adapter, kAudio, {0x43, 0, 0x04, 0, 0, 0, 0, 0, 32, 0}, 32).senseCode(), 0x052400u);
}

TEST_F(Replies, DiscInformationMarksErasableAndBlankDiscs) {
  const auto rw = sendCdb(*adapter, kCdrw, {0x51, 0, 0, 0, 0, 0, 0, 0, 4, 0}, 4);
  EXPECT_EQ(rw.result.transferred, 4);
  EXPECT_EQ(rw.data[2] & 0x10, 0x10);
  EXPECT_EQ(sendCdb(*adapter, kCdr, {0x51, 0, 0, 0, 0, 0, 0, 0, 4, 0}, 4).data[2] & 0x10, 0);
  const auto blank = sendCdb(*adapter, kBlank, {0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0}, 34);
  EXPECT_EQ(blank.data[2] & 0x03, 0);  // empty
  EXPECT_EQ(blank.data[17], 97);
}

TEST_F(Replies, CapabilitiesPageReportsSpeedsC2AndAccurateStream) {
  const auto page = sendCdb(*adapter, kAudio, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 30, 0}, 30);
  ASSERT_TRUE(page.good());
  EXPECT_EQ(page.data[8], 0x2A);
  EXPECT_EQ(be16(page.data, 16), 52u * 176u);
  EXPECT_EQ(be16(page.data, 22), 52u * 176u);
  EXPECT_EQ(page.data[13] & 0x10, 0x10);
  EXPECT_EQ(page.data[13] & 0x02, 0x02);
  const auto pcav = sendCdb(*adapter, kPcav, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 30, 0}, 30);
  EXPECT_EQ(pcav.data[13] & 0x12, 0);
  // SET CD SPEED picks the step at or below; the page shows it.
  ASSERT_TRUE(sendCdb(*adapter, kAudio, {0xBB, 0, 0x05, 0x88, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, 0).good());  // 8 x 177
  EXPECT_EQ(be16(sendCdb(*adapter, kAudio, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 30, 0}, 30).data, 22), 8u * 176u);
  sendCdb(*adapter, kAudio, {0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, 0);
  EXPECT_EQ(be16(sendCdb(*adapter, kAudio, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 30, 0}, 30).data, 22), 52u * 176u);
}

TEST_F(Replies, ModeSense6CarriesTheBlockDescriptorSetByModeSelect) {
  ASSERT_TRUE(testing::modeSelect10(*adapter, kAudio, 0x82, 2352).good());
  const auto six = sendCdb(*adapter, kAudio, {0x1A, 0, 0x01, 0, 0xFF, 0}, 255);
  ASSERT_TRUE(six.good());
  EXPECT_EQ(six.data[0] + 1, 4 + 8 + 12);
  EXPECT_EQ(six.data[3], 8);
  EXPECT_EQ(six.data[4], 0x82);
  EXPECT_EQ(be24(six.data, 9), 2352u);
  EXPECT_EQ(six.data[12], 0x01);  // page 01h follows
  // MODE SELECT(6) back to data blocks, as the program's fallback sends it.
  const auto back = sendCdb(*adapter, kAudio, {0x15, 0, 0, 0, 12, 0}, 12, DataDirection::Out,
                            {0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0x08, 0});
  EXPECT_TRUE(back.good());
  EXPECT_EQ(adapter->drive(kAudio)->blockMode().blockLength, 2048u);
  EXPECT_EQ(testing::modeSelect10(*adapter, kAudio, 0x82, 2000).senseCode(), 0x052600u);
  EXPECT_EQ(sendCdb(*adapter, kAudio, {0x5A, 0, 0xC0 | 0x2A, 0, 0, 0, 0, 0, 30, 0}, 30).senseCode(), 0x053900u);
}

}  // namespace
}  // namespace tmx::emu
