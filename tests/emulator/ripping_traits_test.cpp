// What an audio ripper asks of an emulated drive: sub-channel per read
// command, READ CD MSF, lead-in and lead-out, the raw-sector cache and what
// empties it, speed settings ignored or capped, C2 pointers shifted, missing
// or false, each against the ground truth.
#include <gtest/gtest.h>

#include "emulator/c2_fate.h"
#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "emulator/subchannel.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::Sent;
using testing::sendCdb;

std::vector<uint8_t> msfRead(uint8_t s0, uint8_t f0, uint8_t s1, uint8_t f1) {
  return {0xB9, 0x04, 0, 0, s0, f0, 0, s1, f1, 0xF8, 0, 0};
}

std::vector<uint8_t> setSpeed(uint16_t kbps) {
  return {0xBB, 0, uint8_t(kbps >> 8), uint8_t(kbps), 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
}

std::vector<uint8_t> readCdSub(int32_t lba, uint32_t count, uint8_t flags, uint8_t sub) {
  const auto a = static_cast<uint32_t>(lba);
  return {0xBE, 0x04, uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a), 0, 0, uint8_t(count), flags, sub, 0};
}

std::vector<uint8_t> readCddaSub(int32_t lba, uint32_t count, uint8_t sub) {
  const auto a = static_cast<uint32_t>(lba);
  return {0xD8, 0, uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a), 0, 0, 0, uint8_t(count), sub, 0};
}

class RippingDrive : public ::testing::Test {
 protected:
  DriveModel* attach(const emu::RippingTraits& traits, std::optional<DiscSpec> disc = std::nullopt) {
    DriveProfile p;
    p.ripping = traits;
    return adapter.attachDrive(next++, p, disc ? *disc : testing::discOf(DiscContent::Audio));
  }
  VirtualClock clock;
  EmulatedAdapter adapter{clock};
  uint8_t next = 0;
};

TEST_F(RippingDrive, SubchannelComesAfterAudioAndC2AsOffered) {
  emu::RippingTraits t;
  t.subReadCd = kSubRawPw | kSubFormattedQ;
  t.subReadCdda = kSubFormattedQ;
  attach(t);
  const Sent q = sendCdb(adapter, 0, readCdSub(1000, 1, 0xF8, 2), 2352 + 16);
  ASSERT_TRUE(q.good());
  // Track 1 from LBA 0: relative 00:13:25, absolute 00:15:25 (LBA + 150), in BCD.
  EXPECT_EQ(std::vector<uint8_t>(q.data.begin() + 2352, q.data.begin() + 2362),
            (std::vector<uint8_t>{0x01, 0x01, 0x01, 0x00, 0x13, 0x25, 0x00, 0x00, 0x15, 0x25}));
  const uint16_t crc = qCrc(q.data.data() + 2352, 10);
  EXPECT_EQ(q.data[2362], crc >> 8);
  EXPECT_EQ(q.data[2363], crc & 0xFF);

  const Sent raw = sendCdb(adapter, 0, readCdSub(1000, 1, 0xFA, 1), 2352 + 294 + 96);
  ASSERT_TRUE(raw.good());
  for (size_t i = 0; i < 96; ++i) {
    const bool bit = (q.data[2352 + i / 8] >> (7 - i % 8)) & 1;
    EXPECT_EQ(raw.data[2352 + 294 + i], bit ? 0x40 : 0x00) << i;
  }
  EXPECT_EQ(sendCdb(adapter, 0, readCdSub(1000, 1, 0xF8, 4), 4096).senseCode(), 0x052400u) << "R-W alone refused";
  EXPECT_TRUE(sendCdb(adapter, 0, readCddaSub(1000, 1, 1), 2368).good());
  EXPECT_EQ(sendCdb(adapter, 0, readCddaSub(1000, 1, 2), 2448).senseCode(), 0x052400u);
  const GroundTruth truth(*adapter.drive(0));
  EXPECT_EQ(truth.subchannels(0xD8), kSubFormattedQ);
  EXPECT_EQ(truth.subchannels(0xB9), 0) << "READ CD MSF unknown to this drive";
  EXPECT_EQ(sendCdb(adapter, 0, msfRead(2, 0, 2, 1), 2352).senseCode(), 0x052000u);
}

TEST_F(RippingDrive, ReadCdMsfReadsTheSameSectorsAsReadCd) {
  emu::RippingTraits t;
  t.readCdMsf = true;
  attach(t);
  // 00:15:25 to 00:15:27: LBA 1000 and 1001.
  const Sent msf = sendCdb(adapter, 0, msfRead(15, 25, 15, 27), 2 * 2352);
  const Sent lba = sendCdb(adapter, 0, readCdSub(1000, 2, 0xF8, 0), 2 * 2352);
  ASSERT_TRUE(msf.good());
  EXPECT_EQ(msf.data, lba.data);
  EXPECT_EQ(sendCdb(adapter, 0, msfRead(15, 27, 15, 25), 2352).senseCode(), 0x052400u);
}

TEST_F(RippingDrive, LeadInAndLeadOutReadableAsFarAsTheProfileSays) {
  emu::RippingTraits t;
  t.leadInSectors = 30;
  t.leadOutSectors = 75;
  DriveModel* d = attach(t, testing::discOf(DiscContent::Audio, 40'000, 4));
  const GroundTruth truth(*d);
  EXPECT_EQ(truth.leadInSectors(), 30);
  EXPECT_TRUE(sendCdb(adapter, 0, readCdSub(-30, 1, 0xF8, 0), 2352).good());
  EXPECT_EQ(sendCdb(adapter, 0, readCdSub(-31, 1, 0xF8, 0), 2352).senseCode(), 0x052100u);
  const Sent out = sendCdb(adapter, 0, readCdSub(40'000 + 74, 1, 0xF8, 0), 2352);
  ASSERT_TRUE(out.good());
  EXPECT_EQ(out.data, std::vector<uint8_t>(2352, 0)) << "the lead-out is silent";
  EXPECT_EQ(sendCdb(adapter, 0, readCdSub(40'000 + 75, 1, 0xF8, 0), 2352).senseCode(), 0x052100u);
  EXPECT_EQ(sendCdb(adapter, 0, testing::read10(40'000, 1), 2048).senseCode(), 0x052100u) << "READ(10) stays inside";
  EXPECT_TRUE(sendCdb(adapter, 0, readCddaSub(-2, 4, 0), 4 * 2352).good()) << "a read across LBA 0";
}

// The time of one 25-sector READ CD at `lba`.
double readMs(EmulatedAdapter& a, VirtualClock& clock, int32_t lba) {
  const int64_t start = clock.nowNs();
  EXPECT_TRUE(sendCdb(a, 0, readCdSub(lba, 25, 0xF8, 0), 25 * 2352).good());
  return static_cast<double>(clock.nowNs() - start) / 1e6;
}

TEST_F(RippingDrive, CacheKeepsWhatWasReadUntilFullOrAFarRead) {
  emu::RippingTraits t;
  t.cacheBytes = 200 * 2352;
  t.cacheFlushSectors = 1000;
  attach(t);
  const GroundTruth truth(*adapter.drive(0));
  ASSERT_EQ(truth.cacheSectors(), 200);
  const double fromMemory = truth.cachedReadMs(25, 2352);
  readMs(adapter, clock, 10'000);
  for (int32_t at = 10'025; at < 10'175; at += 25) readMs(adapter, clock, at);
  EXPECT_NEAR(readMs(adapter, clock, 10'000), fromMemory, 0.01) << "175 sectors after it: still cached";

  readMs(adapter, clock, 20'000);
  for (int32_t at = 20'025; at < 20'225; at += 25) readMs(adapter, clock, at);
  EXPECT_GT(readMs(adapter, clock, 20'000), 5 * fromMemory) << "200 after it: pushed out";

  readMs(adapter, clock, 30'000);
  readMs(adapter, clock, 30'024 + 999);
  EXPECT_NEAR(readMs(adapter, clock, 30'000), fromMemory, 0.01) << "a read 999 sectors away leaves it";
  readMs(adapter, clock, 40'000);
  readMs(adapter, clock, 40'024 + 1000);
  EXPECT_GT(readMs(adapter, clock, 40'000), 5 * fromMemory) << "1000 away empties it";

  readMs(adapter, clock, 50'000);
  ASSERT_TRUE(sendCdb(adapter, 0, testing::seek10(50'024 + 999), 0).good());
  EXPECT_NEAR(readMs(adapter, clock, 50'000), fromMemory, 0.01) << "a SEEK 999 sectors away leaves it";
  readMs(adapter, clock, 60'000);
  ASSERT_TRUE(sendCdb(adapter, 0, testing::seek10(60'024 + 1000), 0).good());
  EXPECT_GT(readMs(adapter, clock, 60'000), 5 * fromMemory) << "a SEEK 1000 away empties it";
}

TEST_F(RippingDrive, ACachedReReadDeliversTheBytesOfTheFirstRead) {
  DriveProfile p;
  p.ripping.cacheBytes = 512 * 1024;
  p.accurateStream = false;
  p.audioJitterFrames = 30;
  adapter.attachDrive(0, p, testing::discOf(DiscContent::Audio), 9);
  const Sent first = sendCdb(adapter, 0, readCdSub(5000, 25, 0xF8, 0), 25 * 2352);
  sendCdb(adapter, 0, readCdSub(5025, 25, 0xF8, 0), 25 * 2352);
  EXPECT_EQ(sendCdb(adapter, 0, readCdSub(5000, 25, 0xF8, 0), 25 * 2352).data, first.data);
}

TEST_F(RippingDrive, SpeedIgnoredOrCappedWhilePage2aReportsTheChoice) {
  emu::RippingTraits ignores, caps;
  ignores.ignoresSpeed = true;
  caps.speedCapX = 8;
  DriveModel* a = attach(ignores);
  DriveModel* b = attach(caps);
  for (uint8_t target : {0, 1}) EXPECT_TRUE(sendCdb(adapter, target, setSpeed(0x0B0D), 0).good());
  // 2829 KB/s: 16X.
  EXPECT_EQ(a->speedLimitX(), a->profile().maxSpeedX);
  EXPECT_EQ(a->reportedSpeedX(), 16);
  EXPECT_EQ(b->speedLimitX(), 8);
  EXPECT_EQ(b->reportedSpeedX(), 16);
  sendCdb(adapter, 1, setSpeed(0xFFFF), 0);
  EXPECT_EQ(b->speedLimitX(), b->profile().maxSpeedX) << "the maximum is not capped";
  EXPECT_EQ(GroundTruth(*b).speedControl(), GroundTruth::SpeedControl::Capped);
}

// Sectors of a damaged disc read twice with C2, and what the model says of them.
struct C2Reads {
  int32_t flaggedDiffering = 0, flaggedIdentical = 0, differingUnflagged = 0;
};

C2Reads readTwice(EmulatedAdapter& a, int32_t first, int32_t count) {
  C2Reads r;
  for (int32_t lba = first; lba < first + count; ++lba) {
    const Sent x = sendCdb(a, 0, readCdSub(lba, 1, 0xFA, 0), 2646);
    sendCdb(a, 0, readCdSub(lba + 5000, 1, 0xF8, 0), 2352);  // away, so the next read is a new one
    const Sent y = sendCdb(a, 0, readCdSub(lba, 1, 0xFA, 0), 2646);
    const bool differs = !std::equal(x.data.begin(), x.data.begin() + 2352, y.data.begin());
    const bool flagged = std::any_of(x.data.begin() + 2352, x.data.end(), [](uint8_t b) { return b != 0; });
    r.flaggedDiffering += flagged && differs;
    r.flaggedIdentical += flagged && !differs;
    r.differingUnflagged += !flagged && differs;
  }
  return r;
}

TEST_F(RippingDrive, C2MissesFalseFlagsAndShiftFollowTheTruth) {
  DiscSpec disc = testing::discOf(DiscContent::Audio);
  disc.damage = {DamageRegion{2000, 400, 0.2, false}};
  emu::RippingTraits t;
  t.c2MissPercent = 30;
  t.c2FalsePercent = 20;
  t.c2ShiftBytes = 4;
  attach(t, disc);
  const GroundTruth truth(*adapter.drive(0));
  const auto expected = truth.c2Counts(2000, 400);
  EXPECT_GT(expected.flaggedDiffering, 0);
  EXPECT_GT(expected.flaggedIdentical, 0);
  EXPECT_GT(expected.differingUnflagged, 0);
  const C2Reads seen = readTwice(adapter, 2000, 400);
  EXPECT_EQ(seen.flaggedDiffering, expected.flaggedDiffering);
  EXPECT_EQ(seen.flaggedIdentical, expected.flaggedIdentical);
  EXPECT_EQ(seen.differingUnflagged, expected.differingUnflagged);

  // The flags of a flagged sector start 4 bytes after its first bad byte.
  for (int32_t lba = 2000; lba < 2400; ++lba) {
    const SectorDamage d = adapter.drive(0)->disc()->damageAt(lba);
    if (d.badBytes == 0 || c2Fate(t, lba) != C2Fate::Flagged || d.firstBadByte + 4 >= 2352) continue;
    const Sent s = sendCdb(adapter, 0, readCdSub(lba, 1, 0xFA, 0), 2646);
    const size_t bit = d.firstBadByte + 4;
    EXPECT_TRUE(s.data[2352 + bit / 8] & (0x80 >> (bit % 8)));
    if (d.firstBadByte >= 1) {
      const size_t before = d.firstBadByte + 3;
      EXPECT_FALSE(s.data[2352 + before / 8] & (0x80 >> (before % 8)));
    }
    break;
  }
}

TEST_F(RippingDrive, C2WithoutTheBlockErrorByteRefusesCode2) {
  emu::RippingTraits t;
  t.c2BlockErrorByte = false;
  attach(t);
  EXPECT_TRUE(sendCdb(adapter, 0, readCdSub(100, 1, 0xFA, 0), 2646).good());
  EXPECT_EQ(sendCdb(adapter, 0, readCdSub(100, 1, 0xFC, 0), 2648).senseCode(), 0x052400u);
}

}  // namespace
}  // namespace tmx::emu
