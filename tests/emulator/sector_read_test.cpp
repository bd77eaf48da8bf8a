// Sector contents through every read command: layouts, sizes, determinism,
// audio that sounds like something, mode 1 framing, C2 bits over damage.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "emulator/byte_order.h"
#include "emulator/presets.h"
#include "emulator/sector_synth.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;

class SectorReads : public ::testing::Test {
 protected:
  VirtualClock clock;
  EmulatedAdapter adapter{clock};
  DriveModel* audio = adapter.attachDrive(0, DriveProfile{}, testing::discOf(DiscContent::Audio));
  DriveModel* data = adapter.attachDrive(1, DriveProfile{}, testing::discOf(DiscContent::Data, 40'000));
  DriveModel* mixed = adapter.attachDrive(2, DriveProfile{}, testing::discOf(DiscContent::Mixed, 40'000, 4));
};

TEST_F(SectorReads, AudioIsDeterministicNonSilentAndVariesAlongTheDisc) {
  const auto a = sendCdb(adapter, 0, testing::readCdda(1000, 2), 2 * 2352);
  const auto b = sendCdb(adapter, 0, testing::readCd(1000, 2, 0x10, 1), 2 * 2352);
  ASSERT_TRUE(a.good());
  ASSERT_TRUE(b.good());
  EXPECT_EQ(a.data, b.data);
  std::set<uint8_t> values(a.data.begin(), a.data.end());
  EXPECT_GT(values.size(), 200u);
  EXPECT_NE(std::vector<uint8_t>(a.data.begin(), a.data.begin() + 2352),
            std::vector<uint8_t>(a.data.begin() + 2352, a.data.end()));
  // Consecutive reads join seamlessly: one read of two equals two reads of one.
  auto second = sendCdb(adapter, 0, testing::readCdda(1001, 1), 2352);
  EXPECT_TRUE(std::equal(second.data.begin(), second.data.end(), a.data.begin() + 2352));
}

TEST_F(SectorReads, SilentDiscIsDigitalSilence) {
  DiscSpec silent = testing::discOf(DiscContent::Audio);
  silent.silent = true;
  adapter.attachDrive(3, DriveProfile{}, silent);
  const auto s = sendCdb(adapter, 3, testing::readCdda(100, 1), 2352);
  EXPECT_EQ(s.data, std::vector<uint8_t>(2352, 0));
}

TEST_F(SectorReads, Read10DeliversUserDataAndRefusesAudioInDataMode) {
  const auto r = sendCdb(adapter, 1, testing::read10(0x1234, 3), 3 * 2048);
  ASSERT_TRUE(r.good());
  EXPECT_EQ(r.result.transferred, 3 * 2048);
  EXPECT_EQ(be32(r.data, 2048), 0x1235u);  // each sector carries its LBA
  EXPECT_EQ(sendCdb(adapter, 0, testing::read10(0, 1), 2048).senseCode(), 0x056400u);
  // After MODE SELECT to 2352-byte blocks READ(10) returns raw audio.
  ASSERT_TRUE(testing::modeSelect10(adapter, 0, 0x82, 2352).good());
  const auto raw = sendCdb(adapter, 0, testing::read10(1000, 2), 2 * 2352);
  EXPECT_EQ(raw.data, sendCdb(adapter, 0, testing::readCdda(1000, 2), 2 * 2352).data);
}

TEST_F(SectorReads, RawDataSectorsAreFramedMode1WithAValidEdc) {
  const auto r = sendCdb(adapter, 1, testing::readCd(16, 1, 0xF8, 2), 2352);
  ASSERT_TRUE(r.good());
  const std::vector<uint8_t> sync{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  EXPECT_TRUE(std::equal(sync.begin(), sync.end(), r.data.begin()));
  EXPECT_EQ(r.data[12], 0x00);  // 00:02:16 in BCD
  EXPECT_EQ(r.data[13], 0x02);
  EXPECT_EQ(r.data[14], 0x16);
  EXPECT_EQ(r.data[15], 0x01);
  const uint32_t edc = mode1Edc(std::span<const uint8_t>(r.data.data(), 2064));
  EXPECT_EQ(r.data[2064] | (r.data[2065] << 8) | (r.data[2066] << 16) | (uint32_t(r.data[2067]) << 24), edc);
  const auto user = sendCdb(adapter, 1, testing::readCd(16, 1, 0x10, 2), 2048);
  EXPECT_TRUE(std::equal(user.data.begin(), user.data.end(), r.data.begin() + 16));
  // Header only: 4 bytes; C2 adds 294 more, all clear on an undamaged sector.
  EXPECT_EQ(sendCdb(adapter, 1, testing::readCd(16, 1, 0x20), 4).result.transferred, 4);
  const auto c2 = sendCdb(adapter, 1, testing::readCd(16, 1, 0xFA), 2646);
  EXPECT_EQ(c2.result.transferred, 2646);
  EXPECT_EQ(std::vector<uint8_t>(c2.data.begin() + 2352, c2.data.end()), std::vector<uint8_t>(294, 0));
}

TEST_F(SectorReads, ExpectedSectorTypeMustMatchTheTrack) {
  EXPECT_EQ(sendCdb(adapter, 1, testing::readCd(0, 1, 0x10, 1), 2352).senseCode(), 0x056400u);
  EXPECT_EQ(sendCdb(adapter, 0, testing::readCd(0, 1, 0x10, 2), 2048).senseCode(), 0x056400u);
  EXPECT_EQ(sendCdb(adapter, 1, testing::readCd(0, 1, 0x10, 4), 2048).senseCode(), 0x056400u);
}

TEST_F(SectorReads, ReadCdAcrossAMixedDiscGivesEachSectorItsOwnSize) {
  const int32_t boundary = mixed->disc()->tracks()[1].start;
  const auto r = sendCdb(adapter, 2, testing::readCd(boundary - 1, 2, 0x10), 2048 + 2352);
  ASSERT_TRUE(r.good());
  EXPECT_EQ(r.result.transferred, 2048 + 2352);
}

TEST(LazyDiscContent, ListingAndProbingLeaveTheContentTablesUnbuilt) {
  // Listing drives and probing discs must stay cheap: only a sector read may
  // build the megabyte of audio or the data table.
  VirtualClock clock;
  EmulatedAdapter adapter{clock};
  DriveModel* audio = adapter.attachDrive(0, DriveProfile{}, testing::discOf(DiscContent::Audio));
  DriveModel* mixed = adapter.attachDrive(1, DriveProfile{}, testing::discOf(DiscContent::Mixed, 40'000, 4));
  for (uint8_t target : {0, 1}) {
    EXPECT_TRUE(sendCdb(adapter, target, {0x12, 0, 0, 0, 56, 0}, 56).good());
    sendCdb(adapter, target, {0x00, 0, 0, 0, 0, 0}, 0);
    EXPECT_TRUE(sendCdb(adapter, target, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, 804).good());
    EXPECT_TRUE(sendCdb(adapter, target, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8).good());
    sendCdb(adapter, target, testing::seek10(5000), 0);
  }
  EXPECT_FALSE(audio->disc()->contentBuilt());
  EXPECT_FALSE(mixed->disc()->contentBuilt());

  // The first read builds the table and reads what an eagerly built disc reads.
  const auto lazy = sendCdb(adapter, 0, testing::readCdda(1000, 2), 2 * 2352);
  EXPECT_TRUE(audio->disc()->contentBuilt());
  Disc eager(testing::discOf(DiscContent::Audio));
  std::vector<uint8_t> expected(2 * 2352);
  eager.fillAudio(1000, 2, audio->audioOffsetFrames(), expected.data(), 2352);
  EXPECT_EQ(lazy.data, expected);
  EXPECT_TRUE(sendCdb(adapter, 1, testing::read10(16, 1), 2048).good());
  EXPECT_TRUE(mixed->disc()->contentBuilt());
}

TEST(SectorDamage, C2BitsSitExactlyOverTheAlteredBytes) {
  VirtualClock clock;
  EmulatedAdapter adapter(clock);
  DiscSpec spec = testing::discOf(DiscContent::Audio);
  spec.damage = {DamageRegion{5000, 200, 1.0, false}};
  DiscSpec clean = spec;
  clean.damage.clear();
  adapter.attachDrive(0, DriveProfile{}, spec);
  adapter.attachDrive(1, DriveProfile{}, clean);
  const auto truth = sendCdb(adapter, 1, testing::readCdda(5010, 1), 2352);
  const auto first = sendCdb(adapter, 0, testing::readCd(5010, 1, 0xFA), 2646);
  const auto again = sendCdb(adapter, 0, testing::readCd(5010, 1, 0xFA), 2646);
  ASSERT_TRUE(first.good());
  size_t flagged = 0;
  for (size_t i = 0; i < 2352; ++i) {
    const bool c2 = (first.data[2352 + i / 8] >> (7 - i % 8)) & 1;
    flagged += c2;
    EXPECT_EQ(c2, first.data[i] != truth.data[i]) << "byte " << i;
    if (c2) {
      EXPECT_NE(first.data[i], again.data[i]) << "altered differently on each read";
    }
  }
  EXPECT_GT(flagged, 0u);
  // Outside the damaged region all is clean.
  const auto outside = sendCdb(adapter, 0, testing::readCd(6000, 1, 0xFA), 2646);
  EXPECT_EQ(std::vector<uint8_t>(outside.data.begin() + 2352, outside.data.end()), std::vector<uint8_t>(294, 0));
}

TEST(SectorDamage, UnreadableSectorsAreMediumErrorsAtTheirLba) {
  VirtualClock clock;
  EmulatedAdapter adapter(clock);
  DiscSpec spec = testing::discOf(DiscContent::Data, 20'000);
  spec.damage = {DamageRegion{700, 10, 0, true}};
  adapter.attachDrive(0, DriveProfile{}, spec);
  const auto r = sendCdb(adapter, 0, testing::read10(690, 20), 20 * 2048);
  EXPECT_EQ(r.senseCode(), 0x031100u);
  EXPECT_EQ(r.result.sense[0], 0xF0);
  EXPECT_EQ(be32(std::span<const uint8_t>(r.result.sense), 3), 700u);
  EXPECT_TRUE(sendCdb(adapter, 0, testing::read10(710, 20), 20 * 2048).good());
}

TEST(IsoDisc, UserDataComesFromTheImageAndItsLengthSetsTheCapacity) {
  const std::string path = ::testing::TempDir() + "tmx_emulator_image.iso";
  std::vector<uint8_t> image(2 * 2048 + 100);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
  }
  VirtualClock clock;
  EmulatedAdapter adapter(clock);
  DiscSpec spec = testing::discOf(DiscContent::Audio);
  spec.isoPath = path;
  const DriveModel* drive = adapter.attachDrive(0, DriveProfile{}, spec);
  EXPECT_EQ(drive->disc()->capacity(), 3);
  const auto r = sendCdb(adapter, 0, testing::read10(0, 3), 3 * 2048);
  ASSERT_TRUE(r.good());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), r.data.begin()));
  EXPECT_EQ(r.data.back(), 0);  // past the end of the file
  const auto raw = sendCdb(adapter, 0, testing::readCd(1, 1, 0xF8), 2352);
  EXPECT_TRUE(std::equal(raw.data.begin() + 16, raw.data.begin() + 2064, image.begin() + 2048));
  EXPECT_EQ(raw.data[15], 1);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace tmx::emu
