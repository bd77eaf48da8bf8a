// The one view of what a record measured: which figures count, in which unit.
#include "results/run_report.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tmx {
namespace {

TestResults transferRun(int zones, int32_t discLength) {
  TestResults r;
  resetRecord(r);
  r.discType = 0;
  r.discLength = discLength;
  r.lastZone = lastZoneFor(discLength);
  clearSpeedSamples(r);
  for (int i = 0; i < zones; ++i) storeSpeedSample(r, i, 100.0 + 10 * i);  // 20X, 22X, ...
  return r;
}

TEST(RunReport, TransferFiguresFromTheMeasuredZones) {
  const RunReport full = makeRunReport(transferRun(4, 36000), RunOutcome::Completed);
  EXPECT_TRUE(full.transferRan);
  ASSERT_EQ(full.zones.size(), 4u);
  EXPECT_EQ(full.zones[3].startLba, 27000);
  EXPECT_DOUBLE_EQ(full.zones[3].speedX, 26.0);
  EXPECT_EQ(full.oneXBytesPerSecond, 153600);
  EXPECT_DOUBLE_EQ(*full.startX, 20.0);
  EXPECT_DOUBLE_EQ(*full.endX, 26.0);
  EXPECT_DOUBLE_EQ(*full.averageX, 23.0);
  EXPECT_EQ(full.readingType, "CAV");

  // Stopped after two of four zones: no end, and no reading type from a piece.
  const RunReport stopped = makeRunReport(transferRun(2, 36000), RunOutcome::Cancelled);
  EXPECT_EQ(stopped.zones.size(), 2u);
  EXPECT_FALSE(stopped.endX);
  EXPECT_FALSE(stopped.readingType);
  EXPECT_DOUBLE_EQ(*stopped.averageX, 21.0);

  // Stopped before the first zone: the test ran, nothing is measured.
  const RunReport none = makeRunReport(transferRun(0, 36000), RunOutcome::Cancelled);
  EXPECT_TRUE(none.transferRan);
  EXPECT_TRUE(none.zones.empty());
  EXPECT_FALSE(none.startX);
  EXPECT_FALSE(none.averageX);
}

// A flat curve over two zones once read "CAV": fewer than three zones cannot
// be classified.
TEST(RunReport, ReadingTypeNeedsThreeZones) {
  TestResults two = transferRun(2, 18000);
  two.speedSamples[1] = two.speedSamples[0];
  EXPECT_EQ(readingType(two), "CAV") << "the rule itself, over one step";
  EXPECT_FALSE(readingTypeOf(two)) << "not determined";
  EXPECT_FALSE(makeRunReport(two, RunOutcome::Completed).readingType);

  TestResults three = transferRun(3, 27000);
  EXPECT_EQ(readingTypeOf(three), "CAV");
}

TEST(RunReport, OnlyWrittenRecordsCountAndEveryMarkerIsNotMeasured) {
  // The zeros of program start (a CD quality check on its own): only the
  // probe's disc facts.
  TestResults start;
  start.discType = 1;
  start.discLength = 2000;
  start.qualityErrors = 12;
  RunReport q = makeRunReport(start, RunOutcome::Completed, true);
  EXPECT_EQ(q.discLengthSectors, 2000);
  EXPECT_FALSE(q.randomSeekMs) << "0 is not a measurement here";
  EXPECT_FALSE(q.transferRan);
  ASSERT_TRUE(q.qualityCheck);
  EXPECT_EQ(q.qualityCheck->errors, 12);
  EXPECT_EQ(q.qualityCheck->classes.size(), size_t{kQualityBlockCount});

  TestResults reset;
  resetRecord(reset);
  reset.randomSeekMs = 85;
  reset.accurateStream = 0;
  reset.spinUpTime = 1.5;
  const RunReport run = makeRunReport(reset, RunOutcome::Aborted);
  EXPECT_EQ(run.randomSeekMs, 85);
  EXPECT_FALSE(run.oneThirdSeekMs);
  EXPECT_EQ(run.accurateStream, false);
  EXPECT_FALSE(run.daeScore);
  EXPECT_FALSE(run.discType) << "-1: the TOC was unreadable";
  EXPECT_EQ(run.spinUpSeconds, 1.5);
  EXPECT_FALSE(run.spinDownSeconds);
  EXPECT_FALSE(makeRunReport(reset, RunOutcome::LoadedFromFile).spinUpSeconds) << "a file holds no spin times";
}

TEST(RunReport, OutcomeNames) {
  EXPECT_EQ(outcomeName(RunOutcome::Completed), "completed");
  EXPECT_EQ(outcomeName(RunOutcome::LoadedFromFile), "loaded");
  EXPECT_EQ(outcomeName(RunOutcome::None), "not started");
  EXPECT_EQ(outcomeName(RunOutcome::NotStarted), "not started");
}

}  // namespace
}  // namespace tmx
