// averageSpeed, readingType and the last zone of a disc.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "results/test_results.h"

namespace tmx {
namespace {

// Samples in 0.2X units (the values given), -1.0 after them, NaN beyond; the
// last zone is the last sample given.
TestResults withSamples(std::initializer_list<double> samples) {
  TestResults r;
  resetRecord(r);
  int i = 0;
  for (double s : samples) r.speedSamples[i++] = s;
  r.speedSamples[i] = -1.0;
  r.lastZone = i - 1;
  return r;
}

TEST(AverageSpeed, AveragesTheMeasuredSamplesInX) {
  EXPECT_DOUBLE_EQ(*averageSpeed(withSamples({5.0, 10.0, 15.0})), 2.0);
  // A NaN ends the list as -1.0 does.
  TestResults r = withSamples({20.0, 30.0});
  r.speedSamples[2] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_DOUBLE_EQ(*averageSpeed(r), 5.0);
  // All 50 used: no terminator at all.
  for (double& s : r.speedSamples) s = 40.0;
  EXPECT_DOUBLE_EQ(*averageSpeed(r), 8.0);
}

TEST(AverageSpeed, HasNoValueWithoutSamples) {
  TestResults r;
  resetRecord(r);
  EXPECT_FALSE(averageSpeed(r));  // NaN first
  r.speedSamples[0] = -1.0;
  EXPECT_FALSE(averageSpeed(r));  // stopped before the first zone
}

TEST(ReadingType, ClassifiesTheCurveShape) {
  EXPECT_EQ(readingType(withSamples({40, 45, 50, 55, 60, 65})), "CAV");
  EXPECT_EQ(readingType(withSamples({60, 60, 61, 60, 61, 61})), "CLV");
  EXPECT_EQ(readingType(withSamples({40, 45, 50, 55, 60, 60, 61})), "P-CAV");
  // Rises over only two steps below a flat top: not enough for P-CAV.
  EXPECT_EQ(readingType(withSamples({50, 55, 60, 60, 61})), "CLV");
  // One flat step at the top is still CAV.
  EXPECT_EQ(readingType(withSamples({40, 45, 50, 55, 55})), "CAV");
  // Fractions are truncated: 60.9 and 62.0 differ by 2 as integers.
  EXPECT_EQ(readingType(withSamples({59.9, 60.9, 62.0})), "CAV");
}

TEST(ReadingType, SmoothsSingleDipsFirst) {
  // 30 between 50 and 60 becomes 55: still a CAV rise.
  EXPECT_EQ(readingType(withSamples({40, 45, 50, 30, 60, 65})), "CAV");
  // A low last sample takes its predecessor's value: two flat steps at the top.
  EXPECT_EQ(readingType(withSamples({40, 45, 50, 55, 60, 60, 20})), "P-CAV");
  // Unsmoothed, the dip in a flat curve would count as one rise.
  EXPECT_EQ(readingType(withSamples({60, 60, 40, 60, 60})), "CLV");
}

TEST(ReadingType, PutsBackADipThatSmoothingCannotLift) {
  // 59 between 60 and 40 averages to 50, still low: 59 is put back, and the
  // 40 after it is then lifted to (61 + 59) / 2 = 60, leaving a flat curve.
  // Keeping the 50 would turn the steps 50 -> 55 -> 61 into rises (P-CAV).
  EXPECT_EQ(readingType(withSamples({50, 60, 59, 40, 61, 61, 61})), "CLV");
}

TEST(ReadingType, WithoutStepsIsCav) {
  EXPECT_EQ(readingType(withSamples({40})), "CAV");  // lastZone 0
  TestResults r = withSamples({40});
  r.lastZone = -1;  // disc shorter than one zone
  EXPECT_EQ(readingType(r), "CAV");
}

TEST(ReadingType, SurvivesUnmeasuredAndHugeSamples) {
  TestResults r;
  resetRecord(r);  // all NaN
  r.lastZone = 40;
  EXPECT_EQ(readingType(r), "CLV");
  r.speedSamples[3] = 1e300;
  r.speedSamples[4] = -1e300;
  r.lastZone = 1000;
  EXPECT_FALSE(readingType(r).empty());
}

TEST(SpeedSamples, StayTerminatedAsZonesAreStored) {
  TestResults r;
  resetRecord(r);
  clearSpeedSamples(r);
  storeSpeedSample(r, 0, 20.0);
  storeSpeedSample(r, 1, 30.0);
  EXPECT_EQ(r.speedSamples[1], 30.0);
  EXPECT_EQ(r.speedSamples[2], -1.0);
  EXPECT_DOUBLE_EQ(*averageSpeed(r), 5.0);
  storeSpeedSample(r, 49, 40.0);  // no room for the terminator
  storeSpeedSample(r, 50, 40.0);  // ignored
  storeSpeedSample(r, -1, 40.0);  // ignored
  EXPECT_EQ(r.speedSamples[49], 40.0);
  EXPECT_EQ(r.speedSamples[0], 20.0);
}

TEST(LastZone, CountsWholeZonesUpToForty) {
  EXPECT_EQ(lastZoneFor(9000), 0);
  EXPECT_EQ(lastZoneFor(17999), 0);
  EXPECT_EQ(lastZoneFor(18000), 1);
  EXPECT_EQ(lastZoneFor(369000), 40);  // 41 zones
  EXPECT_EQ(lastZoneFor(400000), 40);
  EXPECT_EQ(lastZoneFor(8999), -1);
  EXPECT_EQ(lastZoneFor(-150), -1);
}

}  // namespace
}  // namespace tmx
