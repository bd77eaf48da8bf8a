// The workers' and the sequencer's arithmetic, at the edges that matter.
#include <gtest/gtest.h>

#include "engine/engine_ids.h"
#include "engine/workers.h"
#include "results/test_results.h"
#include "support/recording_host.h"

namespace tmx {
namespace {

TEST(WorkerArithmetic, ZonesReadsAndWarmUp) {
  EXPECT_EQ(lastZoneFor(360000), 39);
  EXPECT_EQ(lastZoneFor(369000), 40);
  EXPECT_EQ(lastZoneFor(378000), 40);
  EXPECT_EQ(lastZoneFor(9000), 0);
  EXPECT_EQ(lastZoneFor(8999), -1);

  const int expected[] = {360, 181, 121, 91, 73, 61};
  for (int length = 1; length <= 6; ++length) {
    EXPECT_EQ(readsPerZone(360.0 / length), expected[length - 1]) << "test length " << length;
  }

  EXPECT_EQ(warmUpLba(39), 13320);
  for (int zone : {-1, 0, 1, 2}) EXPECT_EQ(warmUpLba(zone), 0);
}

TEST(WorkerArithmetic, BurstLengthAndSeekTargets) {
  EXPECT_EQ(burstSectors(32), 16);
  EXPECT_EQ(burstSectors(2), 1);
  EXPECT_EQ(burstSectors(3), 1);
  EXPECT_EQ(burstSectors(1), 1);
  EXPECT_EQ(burstSectors(0), 1);
  EXPECT_EQ(burstSectors(384), 192);
  EXPECT_EQ(burstSectors(1000), 192);

  EXPECT_EQ(seekTarget(0, 0), 183080);
  EXPECT_EQ(seekTarget(0, 99), 282550);
  EXPECT_EQ(seekTarget(1, 0), 105000);
  EXPECT_EQ(seekTarget(1, 99), 0);
  EXPECT_EQ(seekTarget(2, 0), 314999);
  EXPECT_EQ(seekTarget(2, 1), 0);
  for (int i = 0; i < 100; ++i) {
    EXPECT_GE(seekTarget(0, i), 3430);
    EXPECT_LE(seekTarget(0, i), 310980);
  }
}

TEST(WorkerArithmetic, DaeScoreAndQualityClasses) {
  EXPECT_EQ(daeScoreFor(0), 10);
  EXPECT_EQ(daeScoreFor(1), 9);
  EXPECT_EQ(daeScoreFor(99), 9);
  EXPECT_EQ(daeScoreFor(100), 8);
  EXPECT_EQ(daeScoreFor(25599), 1);
  EXPECT_EQ(daeScoreFor(25600), 0);

  EXPECT_EQ(qualityClass(0), 0);
  EXPECT_EQ(qualityClass(1), 1);
  EXPECT_EQ(qualityClass(8466), 1);
  EXPECT_EQ(qualityClass(8467), 2);
  EXPECT_EQ(qualityClass(2116800), 251);
}

TEST(WorkerArithmetic, DaePositionsStayInsideTheDisc) {
  const auto full = daePositions(333000);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->center, 166100);
  EXPECT_EQ(full->end, 332000);
  const auto shortest = daePositions(kDaeMinimumSectors);
  ASSERT_TRUE(shortest);
  EXPECT_EQ(shortest->center, 800) << "right after the start's 800 sectors";
  EXPECT_EQ(shortest->end, 1400);
  EXPECT_LE(shortest->end + 800, kDaeMinimumSectors);
  EXPECT_FALSE(daePositions(kDaeMinimumSectors - 1));
  EXPECT_FALSE(daePositions(0));
}

TEST(WorkerArithmetic, StartEventOfThePreparedTest) {
  EXPECT_EQ(startEventFor(TestTransferRate, ReadMethodRead10), EventTransferZone);
  EXPECT_EQ(startEventFor(TestDaeQuality, ReadMethodCdAudio), EventDaeStart);
  EXPECT_EQ(startEventFor(TestDaeQuality, ReadMethodCdData), -1) << "no DAE start without an audio read method";
  EXPECT_EQ(startEventFor(TestSpinUpDown, ReadMethodRead10), EventSpinStart);
  EXPECT_EQ(startEventFor(PreparedQualityCheck, ReadMethodRead10), EventQualityStart);
}

}  // namespace
}  // namespace tmx
