// Measured figures against the emulated drive's own truth, in virtual time.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "emulator/ground_truth.h"
#include "support/engine_rig.h"
#include "engine/workers.h"

namespace tmx {
namespace {

using testing::EngineRig;

TEST(Fidelity, TransferSamplesFollowTheTrueSpeedAndShape) {
  for (uint8_t target : {0, 1, 2}) {
    EngineRig rig(target);
    rig.onlyTests({TestTransferRate});
    rig.run();
    const emu::GroundTruth truth(rig.drive());
    const TestResults& r = rig.results.record;
    ASSERT_GE(r.lastZone, 30);
    for (int zone = 0; zone <= r.lastZone; ++zone) {
      // At test length 1 the timed reads hold 8975 sectors, after the untimed first read.
      const double expected = truth.averageSpeedX(zone * 9000 + 25, 8975);
      EXPECT_NEAR(r.speedSamples[static_cast<size_t>(zone)] / 5.0, expected, expected * 0.0001)
          << "drive " << int{target} << " zone " << zone;
    }
    EXPECT_EQ(rig.results.texts.readingTypeText, truth.rotationName()) << "drive " << int{target};
  }
}

TEST(Fidelity, SeekTimesMatchTheModel) {
  EngineRig rig(0);
  rig.onlyTests({TestSeekTimes});
  rig.run();
  const emu::GroundTruth truth(rig.drive());
  std::vector<int32_t> random, third, full;
  for (int i = 0; i < 100; ++i) {
    random.push_back(seekTarget(0, i));
    third.push_back(seekTarget(1, i));
    full.push_back(seekTarget(2, i));
  }
  const TestResults& r = rig.results.record;
  EXPECT_NEAR(r.randomSeekMs, truth.averageSeekMs(0, random), 1.0);
  EXPECT_NEAR(r.oneThirdSeekMs, truth.averageSeekMs(random.back(), third), 1.0);
  EXPECT_NEAR(r.fullSeekMs, truth.averageSeekMs(0, full), 1.0);
}

TEST(Fidelity, BurstAndSpinTimesMatchTheModel) {
  EngineRig rig(1);
  rig.onlyTests({TestBurstRate, TestSpinUpDown});
  rig.run();
  const emu::GroundTruth truth(rig.drive());
  const TestResults& r = rig.results.record;
  const double kbps = truth.burstKBps(burstSectors(rig.settings.burstLengthKB), 2048);
  EXPECT_NEAR(r.burstRate, kbps / 1024.0, 1.0);
  // The timed first read adds rotational latency and the read itself to the spin-up.
  EXPECT_GE(r.spinUpTime, truth.spinUpMs(kSpinLba) / 1000.0);
  EXPECT_NEAR(r.spinUpTime, truth.spinUpMs(kSpinLba) / 1000.0, 0.03);
  EXPECT_NEAR(r.spinDownTime, truth.spinDownMs(kSpinLba + 25 * 1) / 1000.0, 0.05);
}

TEST(Fidelity, CpuLoadIsTheShareOfTimeInsideReads) {
  EngineRig rig(1);
  rig.onlyTests({TestCpuUtilization});
  rig.run();
  const emu::GroundTruth truth(rig.drive());
  // At 1X-8X pacing the read-ahead keeps every read but the first in the buffer.
  const double readMs = truth.cachedReadMs(25, 2048);
  const int speeds[] = {1, 2, 4, 8};
  for (int i = 0; i < 4; ++i) {
    const double expected = 100.0 * 45 * speeds[i] * readMs / 1000.0 / 15.0;
    EXPECT_NEAR(rig.results.record.cpuUsage[static_cast<size_t>(i)], expected, 1.5) << speeds[i] << "X";
  }
}

}  // namespace
}  // namespace tmx
