// The dispatcher's common rules and the sense they produce, seen from the host.
#include <gtest/gtest.h>

#include "emulator/presets.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;

class CommandRules : public ::testing::Test {
 protected:
  VirtualClock clock;
  EmulatedAdapter adapter{clock};
  DriveModel* audio = adapter.attachDrive(0, DriveProfile{}, DiscSpec{});
  DriveModel* empty = adapter.attachDrive(1, DriveProfile{}, std::nullopt);
};

TEST_F(CommandRules, UnknownOpcodeIsIllegalRequest) {
  const auto s = sendCdb(adapter, 0, {0xF7, 0, 0, 0, 0, 0}, 0);
  EXPECT_EQ(s.result.status, aspi::kError);
  EXPECT_EQ(s.result.targetStatus, aspi::kTargetCheckCondition);
  EXPECT_EQ(s.senseCode(), 0x052000u);
  EXPECT_EQ(s.result.sense[0], 0x70);
  EXPECT_EQ(s.result.senseLength, 18u);
}

TEST_F(CommandRules, EmptyDriveIsNotReadyButStillIdentifies) {
  EXPECT_EQ(sendCdb(adapter, 1, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x023A00u);
  EXPECT_EQ(sendCdb(adapter, 1, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8).senseCode(), 0x023A00u);
  EXPECT_EQ(sendCdb(adapter, 1, testing::read10(0, 1), 2048).senseCode(), 0x023A00u);
  const auto inq = sendCdb(adapter, 1, {0x12, 0, 0, 0, 0x38, 0}, 56);
  EXPECT_TRUE(inq.good());
  EXPECT_EQ(inq.data[0], 0x05);
}

TEST_F(CommandRules, ReadPastTheEndIsOutOfRange) {
  const int32_t end = audio->disc()->capacity();
  EXPECT_TRUE(sendCdb(adapter, 0, testing::readCdda(end - 1, 1), 2352).good());
  EXPECT_EQ(sendCdb(adapter, 0, testing::readCdda(end - 1, 2), 2 * 2352).senseCode(), 0x052100u);
  EXPECT_EQ(sendCdb(adapter, 0, testing::readCdda(end, 1), 2352).senseCode(), 0x052100u);
  EXPECT_EQ(sendCdb(adapter, 0, testing::seek10(end), 0).senseCode(), 0x052100u);
}

TEST_F(CommandRules, TransferShorterThanTheReadFailsInTheHostWithoutData) {
  // 26 blocks announced, the host gives no buffer (the 25-block rule) or a short one.
  const auto none = sendCdb(adapter, 0, testing::readCdda(0, 26), 0);
  EXPECT_EQ(none.result.status, aspi::kInvalidCommand);
  EXPECT_EQ(none.result.hostStatus, aspi::kHaDataOverrun);
  const auto shortBuffer = sendCdb(adapter, 0, testing::readCdda(0, 2), 2352);
  EXPECT_EQ(shortBuffer.result.status, aspi::kInvalidCommand);
  EXPECT_EQ(shortBuffer.result.hostStatus, aspi::kHaDataOverrun);
  EXPECT_EQ(shortBuffer.result.senseLength, 0u);
  EXPECT_EQ(shortBuffer.data, std::vector<uint8_t>(2352, 0));
}

TEST_F(CommandRules, ProfileCanRefuseChosenOpcodes) {
  DriveProfile atapi;
  atapi.rejectedOpcodes.set(0x0B).set(0x1A).set(0xD8);
  adapter.attachDrive(2, atapi, DiscSpec{});
  EXPECT_EQ(sendCdb(adapter, 2, {0x0B, 0, 0, 100, 0, 0}, 0).senseCode(), 0x052000u);
  EXPECT_TRUE(sendCdb(adapter, 2, testing::seek10(100), 0).good());
  EXPECT_EQ(sendCdb(adapter, 2, {0x1A, 0x08, 0x2A, 0, 30, 0}, 30).senseCode(), 0x052000u);
  EXPECT_EQ(sendCdb(adapter, 2, testing::readCdda(0, 1), 2352).senseCode(), 0x052000u);
}

TEST_F(CommandRules, SlowRejectionCostsItsTimeOnlyWhenRefusing) {
  DriveProfile atapi;
  atapi.rejectedOpcodes.set(0x0B);
  atapi.rejectionNs = 35'000'000;
  adapter.attachDrive(2, atapi, DiscSpec{});
  sendCdb(adapter, 2, testing::seek10(0), 0);
  int64_t before = clock.nowNs();
  EXPECT_EQ(sendCdb(adapter, 2, {0x0B, 0, 0, 100, 0, 0}, 0).senseCode(), 0x052000u);
  EXPECT_EQ(clock.nowNs() - before, atapi.commandOverheadNs + 35'000'000);
  before = clock.nowNs();
  EXPECT_TRUE(sendCdb(adapter, 2, {0x00, 0, 0, 0, 0, 0}, 0).good());
  EXPECT_EQ(clock.nowNs() - before, atapi.commandOverheadNs) << "accepted commands are not slowed";
}

TEST_F(CommandRules, UnitAttentionIsReportedOnceAndRequestSenseClearsIt) {
  audio->insertDisc(testing::discOf(DiscContent::Data));
  // INQUIRY passes a unit attention untouched.
  EXPECT_TRUE(sendCdb(adapter, 0, {0x12, 0, 0, 0, 0x38, 0}, 56).good());
  EXPECT_EQ(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x062800u);
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());

  audio->insertDisc(testing::discOf(DiscContent::Data));
  const auto sense = sendCdb(adapter, 0, {0x03, 0, 0, 0, 18, 0}, 18);
  EXPECT_TRUE(sense.good());
  EXPECT_EQ(sense.data[2], 0x06);
  EXPECT_EQ(sense.data[12], 0x28);
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());
}

TEST_F(CommandRules, RequestSenseReturnsThePendingSenseThenClearsIt) {
  sendCdb(adapter, 0, {0xF7, 0, 0, 0, 0, 0}, 0);
  const auto first = sendCdb(adapter, 0, {0x03, 0, 0, 0, 18, 0}, 18);
  EXPECT_EQ(first.data[2], 0x05);
  EXPECT_EQ(first.data[12], 0x20);
  EXPECT_EQ(first.data[7], 10);
  const auto second = sendCdb(adapter, 0, {0x03, 0, 0, 0, 18, 0}, 18);
  EXPECT_EQ(second.data[2], 0x00);
  EXPECT_EQ(second.data[12], 0x00);
  // An empty drive reports why it is not ready.
  EXPECT_EQ(sendCdb(adapter, 1, {0x03, 0, 0, 0, 18, 0}, 18).data[12], 0x3A);
}

TEST_F(CommandRules, TargetsWithoutDeviceAndTheDiskAnswerLikeAHost) {
  EXPECT_EQ(sendCdb(adapter, 9, {0x12, 0, 0, 0, 0x38, 0}, 56).result.status, aspi::kNoDevice);
  EXPECT_EQ(sendCdb(adapter, 16, {0x12, 0, 0, 0, 0x38, 0}, 56).result.status, aspi::kNoDevice);
  adapter.attachDisk(3, DiskIdentity{});
  const auto disk = sendCdb(adapter, 3, {0x12, 0, 0, 0, 0x38, 0}, 56);
  EXPECT_TRUE(disk.good());
  EXPECT_EQ(disk.data[0], 0x00);
  EXPECT_EQ(adapter.drive(3), nullptr);
}

TEST(PresetAdapter, ListsCdDrivesAroundOneDiskWithStableTexts) {
  VirtualClock clock;
  auto adapter = makePresetAdapter(clock);
  EXPECT_LE(adapter->identifier().size(), 16u);
  int cd = 0, other = 0;
  for (uint8_t t = 0; t < 16; ++t) {
    const auto inq = sendCdb(*adapter, t, {0x12, 0, 0, 0, 0x38, 0}, 56);
    if (!inq.good()) continue;
    (inq.data[0] == 0x05 ? cd : other)++;
    for (size_t i = 8; i < 36; ++i) EXPECT_TRUE(inq.data[i] >= 0x20 && inq.data[i] < 0x7F);
  }
  EXPECT_EQ(cd, 12) << "CD, DVD and BD drives are all MMC devices (type 05h)";
  EXPECT_EQ(other, 1);
  // The default drive holds the 74-minute audio disc.
  const auto cap = sendCdb(*adapter, 0, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  EXPECT_EQ((cap.data[1] << 16) | (cap.data[2] << 8) | cap.data[3], 332999);
}

TEST(PresetAdapter, DefaultDiscHasAFewC2ErrorsAwayFromTheAudioTestStretches) {
  VirtualClock clock;
  auto adapter = makePresetAdapter(clock);
  const Disc& disc = *adapter->drive(0)->disc();
  EXPECT_GT(disc.damagedSectorCount(), 0);
  EXPECT_LT(disc.damagedSectorCount(), 30);
  // Extraction stretches at the start, centre and end, and the sector searches after them.
  for (auto [from, to] : {std::pair{0, 5300}, {166'100, 171'400}, {327'000, 333'000}}) {
    for (int32_t lba = from; lba < to; ++lba) ASSERT_EQ(disc.damageAt(lba).badBytes, 0) << lba;
  }
}

}  // namespace
}  // namespace tmx::emu
