// The panel texts: their formats, the reset, and what a loaded record fills.
#include "results/result_texts.h"

#include <gtest/gtest.h>

#include "results/results_model.h"

namespace tmx {
namespace {

ResultTexts earlierRunTexts() {
  ResultTexts t;
  t.speedLabelText = "Average";
  t.averageText = t.startText = t.endText = "9.99x";
  t.readingTypeText = "CAV";
  t.discTypeText = "Audio";
  t.lengthText = "74:00.00";
  t.randomSeekText = t.oneThirdSeekText = t.fullSeekText = "99 ms";
  t.cpuTexts = {"9%", "9%", "9%", "9%"};
  t.burstText = "9 MB/s";
  t.daeScoreText = "9";
  t.accurateStreamBox = true;
  return t;
}

TEST(ResultTextFormats, FormatLikeThePanels) {
  EXPECT_EQ(sampleText(10.0), "2.00x");
  EXPECT_EQ(cpuTextLive(12), "12%");
  EXPECT_EQ(cpuTextLoaded(12), "12 %");
}

TEST(ResetResults, EmptiesTheResultTextsButNotTheDiscPanel) {
  ResultsModel model;
  model.texts = earlierRunTexts();
  model.progress = 70;
  int notified = 0;
  model.setObserver([&] { ++notified; });
  model.resetResults();

  const ResultTexts& t = model.texts;
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(model.progress, 0);
  EXPECT_EQ(model.record.discLength, -1);
  EXPECT_FALSE(t.accurateStreamBox);
  for (const std::string* text : {&t.averageText, &t.startText, &t.endText, &t.readingTypeText, &t.randomSeekText,
                                  &t.oneThirdSeekText, &t.fullSeekText, &t.burstText, &t.daeScoreText}) {
    EXPECT_EQ(*text, "");
  }
  for (const std::string& cpu : t.cpuTexts) EXPECT_EQ(cpu, "");
  EXPECT_EQ(t.speedLabelText, "Average");
  EXPECT_EQ(t.discTypeText, "Audio");
  EXPECT_EQ(t.lengthText, "74:00.00");
}

TEST(FillTextsFromRecord, FillsEveryMeasuredResult) {
  TestResults r;
  resetRecord(r);
  r.discLength = 400000;  // 44 zones on the disc; the last one measured is 40
  r.discType = 1;
  for (int i = 0; i <= 40; ++i) r.speedSamples[i] = 50.0 + i;
  r.speedSamples[41] = -1.0;
  r.cpuUsage = {3, 5, 9, 17};
  r.randomSeekMs = 90;
  r.oneThirdSeekMs = 80;
  r.fullSeekMs = 150;
  r.burstRate = 12;
  r.daeScore = 10;
  r.accurateStream = 1;
  ResultTexts t;
  fillTextsFromRecord(r, t);

  EXPECT_EQ(t.startText, "10.00x");
  EXPECT_EQ(t.endText, "18.00x");  // sample 40 / 5
  EXPECT_EQ(t.averageText, "14.00x");
  EXPECT_EQ(t.cpuTexts[3], "17 %");
  EXPECT_EQ(t.fullSeekText, "150 ms");
  EXPECT_EQ(t.burstText, "12 MB/s");
  EXPECT_EQ(t.daeScoreText, "10");
  EXPECT_TRUE(t.accurateStreamBox);
  EXPECT_EQ(t.lengthText, "88:53.25");
  EXPECT_EQ(t.discTypeText, "Audio");
  EXPECT_EQ(t.readingTypeText, "");  // a load never sets it
}

TEST(FillTextsFromRecord, KeepsEarlierTextsOfResultsTheRecordLacks) {
  TestResults r;
  resetRecord(r);  // nothing measured: every sample NaN, every int -1
  r.discLength = 9000;
  r.discType = 0;
  ResultTexts t = earlierRunTexts();
  fillTextsFromRecord(r, t);

  EXPECT_EQ(t.averageText, "9.99x");
  EXPECT_EQ(t.cpuTexts[0], "9%");
  EXPECT_EQ(t.randomSeekText, "99 ms");
  EXPECT_EQ(t.burstText, "9 MB/s");
  EXPECT_EQ(t.daeScoreText, "9");
  EXPECT_EQ(t.readingTypeText, "CAV");
  EXPECT_FALSE(t.accurateStreamBox);  // always follows the record
  EXPECT_EQ(t.discTypeText, "Data");
  EXPECT_EQ(t.lengthText, " 2:00.00");

  r.speedSamples[0] = 0.0;  // zero also means no transfer test
  fillTextsFromRecord(r, t);
  EXPECT_EQ(t.startText, "9.99x");
}

TEST(FillTextsFromRecord, LeavesTextsEmptyWhereNoValueExists) {
  TestResults r;
  resetRecord(r);
  ResultTexts t = earlierRunTexts();
  r.speedSamples[0] = -1.0;  // transfer test stopped before its first zone
  fillTextsFromRecord(r, t);
  EXPECT_EQ(t.startText, "");
  EXPECT_EQ(t.endText, "");
  EXPECT_EQ(t.averageText, "");

  r.speedSamples[0] = 20.0;
  r.speedSamples[1] = -1.0;
  r.discLength = 8999;  // shorter than one zone: no last zone
  fillTextsFromRecord(r, t);
  EXPECT_EQ(t.startText, "4.00x");
  EXPECT_EQ(t.endText, "");
  EXPECT_EQ(t.averageText, "4.00x");

  r.discLength = 90000;  // stopped before the last zone (9) was measured
  fillTextsFromRecord(r, t);
  EXPECT_EQ(t.endText, "");

  r.cpuUsage = {4, 8, -1, -1};  // stopped during the CPU test
  r.randomSeekMs = 100;         // stopped during the seek test
  r.discType = 7;
  fillTextsFromRecord(r, t);
  EXPECT_EQ(t.cpuTexts[1], "8 %");
  EXPECT_EQ(t.cpuTexts[2], "");
  EXPECT_EQ(t.oneThirdSeekText, "");
  EXPECT_EQ(t.discTypeText, "");
}

// The CLI's summary says what was measured: a run that never ran the DAE
// test has no accurate stream to speak of, yes or no.
TEST(SummaryLines, PrintEveryResultWithNaForWhatWasNotMeasured) {
  TestResults r;
  resetRecord(r);
  r.discType = 1;
  r.discLength = 333000;
  r.cpuUsage = {3, 5, 9, 17};
  RunReport report = makeRunReport(r, RunOutcome::Completed);
  auto lines = summaryLines(report);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "Disc type: Audio");
  EXPECT_EQ(lines[1], "Disc length: 74:00.00");
  EXPECT_EQ(lines[7], "Accurate stream: N/A") << "before: No";
  EXPECT_EQ(lines[11], "CPU usage 1X: 3%");
  EXPECT_EQ(lines[15], "Burst rate: N/A");

  r.accurateStream = 0;
  lines = summaryLines(makeRunReport(r, RunOutcome::LoadedFromFile));
  EXPECT_EQ(lines[7], "Accurate stream: No");
  EXPECT_EQ(lines[11], "CPU usage 1X: 3 %") << "as a loaded file shows it";
}

}  // namespace
}  // namespace tmx
