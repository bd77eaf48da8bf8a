// Behaviour in model time on the virtual clock: the read-ahead buffer, seeks,
// spin-up, audio stream offsets, and agreement with the ground truth.
#include <gtest/gtest.h>

#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;

class Timing : public ::testing::Test {
 protected:
  VirtualClock clock;
  std::unique_ptr<EmulatedAdapter> adapter = makePresetAdapter(clock);
  static constexpr uint8_t kCav = 0, kClv = 1, kPcav = 2;

  // Model time one command takes.
  double timedMs(uint8_t target, const std::vector<uint8_t>& cdb, size_t length) {
    const int64_t t0 = clock.nowNs();
    EXPECT_TRUE(sendCdb(*adapter, target, cdb, length).good());
    return static_cast<double>(clock.nowNs() - t0) / 1e6;
  }
  // Reads `reads` x 25 sectors from lba on, pausing `pauseMs` of host time
  // after each; returns the elapsed model time in ms.
  double readRun(uint8_t target, uint32_t lba, int reads, double pauseMs) {
    const int64_t t0 = clock.nowNs();
    for (int i = 0; i < reads; ++i) {
      EXPECT_TRUE(sendCdb(*adapter, target, testing::readCdda(lba + 25u * i, 25), 25 * 2352).good());
      clock.advanceNs(static_cast<int64_t>(pauseMs * 1e6));
    }
    return static_cast<double>(clock.nowNs() - t0) / 1e6;
  }
};

TEST_F(Timing, BufferHidesHostLatencyForSequentialReads) {
  readRun(kCav, 100'000, 1, 0);  // start the stream
  const double busy = readRun(kCav, 100'025, 200, 0);
  readRun(kCav, 200'000, 1, 0);
  const double paused = readRun(kCav, 200'025, 200, 2.0);  // 2 ms of host work per read
  const GroundTruth truth(*adapter->drive(kCav));
  EXPECT_NEAR(5000 / (busy / 1000) / 75, truth.averageSpeedX(100'025, 5000), 0.02 * truth.averageSpeedX(100'025, 5000));
  EXPECT_NEAR(5000 / (paused / 1000) / 75, truth.averageSpeedX(200'025, 5000), 0.02 * truth.averageSpeedX(200'025, 5000));
}

TEST_F(Timing, NonSequentialReadsPayForSeekAndLatency) {
  readRun(kCav, 10'000, 2, 0);
  const double sequential = timedMs(kCav, testing::readCdda(10'050, 25), 25 * 2352);
  const double jump = timedMs(kCav, testing::readCdda(250'000, 25), 25 * 2352);
  const GroundTruth truth(*adapter->drive(kCav));
  EXPECT_GT(jump, sequential + truth.seekMs(10'075, 250'000) / 2);
}

TEST_F(Timing, SeekPositionsTheHeadSoTheNextReadThereCostsNoSecondSeek) {
  const double seek = timedMs(kCav, testing::seek10(300'000), 0);
  const double read = timedMs(kCav, testing::readCdda(300'000, 1), 2352);
  EXPECT_GT(seek, 50);
  EXPECT_LT(read, 2);
}

TEST_F(Timing, RereadingBufferedSectorsRunsAtTheInterfaceRate) {
  timedMs(kCav, testing::readCdda(100, 16), 16 * 2352);
  const double reread = timedMs(kCav, testing::readCdda(100, 16), 16 * 2352);
  const GroundTruth truth(*adapter->drive(kCav));
  EXPECT_NEAR(reread, truth.cachedReadMs(16, 2352), 1e-3);
  EXPECT_LT(reread, 16 / (75 * truth.speedXAt(100)) * 1000);  // faster than the disc could deliver
}

TEST_F(Timing, SpinUpHappensOnceAfterAStop) {
  const GroundTruth truth(*adapter->drive(kCav));
  readRun(kCav, 0, 40, 0);
  const int32_t head = adapter->drive(kCav)->headLba();
  const double stop = timedMs(kCav, {0x1B, 0, 0, 0, 0, 0}, 0);
  EXPECT_NEAR(stop, truth.spinDownMs(head), 0.01);
  EXPECT_FALSE(adapter->drive(kCav)->spinning());
  const double first = timedMs(kCav, testing::readCdda(100, 1), 2352);
  const double second = timedMs(kCav, testing::readCdda(101, 1), 2352);
  EXPECT_GT(first, truth.spinUpMs(100));
  EXPECT_LT(first, truth.spinUpMs(100) + 40);
  EXPECT_LT(second, 1);
}

TEST_F(Timing, IdleDriveSpinsDownAfterItsTimeout) {
  timedMs(kPcav, testing::readCd(1000, 1, 0x10), 2352);
  clock.advanceNs(60'000'000'000);
  EXPECT_LT(timedMs(kPcav, testing::readCd(1001, 1, 0x10), 2352), 5);
  for (int i = 0; i < 121; ++i) {  // a readiness poll does not keep the disc spinning
    clock.advanceNs(1'000'000'000);
    sendCdb(*adapter, kPcav, {0x00, 0, 0, 0, 0, 0}, 0);
  }
  const double afterIdle = timedMs(kPcav, testing::readCd(1002, 1, 0x10), 2352);
  EXPECT_GT(afterIdle, GroundTruth(*adapter->drive(kPcav)).spinUpMs(1001));
}

TEST_F(Timing, SetCdSpeedSlowsReading) {
  const double fast = readRun(kCav, 150'000, 40, 0);
  sendCdb(*adapter, kCav, {0xBB, 0, 0x02, 0xC0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, 0);  // 4 x 176
  readRun(kCav, 200'000, 1, 0);
  const double slow = readRun(kCav, 200'025, 40, 0);
  EXPECT_NEAR(1000 / (slow / 1000) / 75, 4.0, 0.1);
  EXPECT_GT(slow, 5 * fast);
}

TEST_F(Timing, SeekAveragesMatchTheGroundTruth) {
  const std::vector<int32_t> targets{183080, 262220, 17720, 49470, 110670, 63130, 41830, 241320, 310980, 233700,
                                     56830,  55200,  178520, 27370, 216320, 286710, 65830, 301110, 295140, 159730};
  for (uint8_t target : {kCav, kClv, kPcav}) {
    const GroundTruth truth(*adapter->drive(target));
    sendCdb(*adapter, target, testing::seek10(0), 0);
    const int64_t t0 = clock.nowNs();
    for (int32_t lba : targets) sendCdb(*adapter, target, testing::seek10(static_cast<uint32_t>(lba)), 0);
    const double measured = static_cast<double>(clock.nowNs() - t0) / 1e6 / static_cast<double>(targets.size());
    const double expected = truth.averageSeekMs(0, targets);
    EXPECT_NEAR(measured, expected, 0.15 * expected) << int(target);  // rotational latency is random
    EXPECT_GT(measured, 60);
    EXPECT_LT(measured, 130);
  }
}

TEST_F(Timing, InaccurateAudioDiffersBetweenReadsAccurateAudioDoesNot) {
  auto read = [&](uint8_t target, uint32_t lba) { return sendCdb(*adapter, target, testing::readCd(lba, 1, 0x10, 1), 2352).data; };
  const auto a0 = read(kCav, 50'000);
  read(kCav, 250'000);
  EXPECT_EQ(read(kCav, 50'000), a0);

  int differing = 0;
  auto p0 = read(kPcav, 50'000);
  for (int i = 0; i < 5; ++i) {
    read(kPcav, 250'000);
    const auto again = read(kPcav, 50'000);
    differing += again != p0;
    p0 = again;
  }
  EXPECT_GE(differing, 4);
  // A stream that continues keeps its offset; the offset stays within the profile's few samples.
  read(kPcav, 60'000);
  const int64_t offset = adapter->drive(kPcav)->audioOffsetFrames();
  read(kPcav, 60'001);
  read(kPcav, 60'002);
  EXPECT_EQ(adapter->drive(kPcav)->audioOffsetFrames(), offset);
  EXPECT_LE(std::abs(offset), 24);
}

TEST(VirtualTime, SameSeedSameTimings) {
  auto run = [] {
    VirtualClock clock;
    auto adapter = makePresetAdapter(clock);
    std::vector<int64_t> stamps;
    for (uint32_t lba : {1000u, 200'000u, 5'000u, 5'025u, 300'000u}) {
      sendCdb(*adapter, 2, testing::readCd(lba, 25, 0x10, 1), 25 * 2352);
      stamps.push_back(clock.nowNs());
    }
    sendCdb(*adapter, 2, testing::seek10(123'456), 0);
    stamps.push_back(clock.nowNs());
    return stamps;
  };
  EXPECT_EQ(run(), run());
}

}  // namespace
}  // namespace tmx::emu
