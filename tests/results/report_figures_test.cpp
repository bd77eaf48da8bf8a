#include "results/report_figures.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

TEST(ReportFigures, ValuesCarryTheirUnitAndWhatWasNotMeasuredSaysSo) {
  EXPECT_EQ(figureText(40.126, "X", 2), "40.13 X");
  EXPECT_EQ(figureText(85, "ms", 0), "85 ms");
  EXPECT_EQ(figureText(7, "%", 0), "7%");
  EXPECT_EQ(figureText(3, "", 0), "3");
  EXPECT_EQ(figureText(std::nullopt, "ms", 0), "not measured");
  EXPECT_EQ(figureText(0.0, "ms", 0), "0 ms");  // a measured zero stays a zero
}

TEST(ReportFigures, EveryFigureInOrderWithItsValue) {
  RunReport report;
  report.averageX = 31.5;
  report.readingType = "CAV";
  report.randomSeekMs = 0;
  report.accurateStream = false;
  report.cpuPercent[2] = 12;
  report.spinUpSeconds = 1.25;
  const std::vector<ReportFigure> rows = reportFigures(report);
  std::vector<std::string> texts;
  for (const ReportFigure& f : rows) texts.push_back(f.label + "=" + f.text);
  const std::vector<std::string> expected = {
      "Average speed=31.50 X", "Start speed=not measured", "End speed=not measured", "Reading type=CAV",
      "DAE score=not measured", "Accurate stream=No", "Random seek=0 ms", "1/3 seek=not measured",
      "Full seek=not measured", "CPU usage 1X=not measured", "CPU usage 2X=not measured", "CPU usage 4X=12%",
      "CPU usage 8X=not measured", "Burst rate=not measured", "Spin-up time=1.25 s", "Spin-down time=not measured",
  };
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(rows[0].value, 31.5);
  EXPECT_FALSE(rows[0].lowerIsBetter);
  EXPECT_EQ(rows[6].value, 0.0);
  EXPECT_TRUE(rows[6].lowerIsBetter);
  EXPECT_FALSE(rows[3].value);  // a word has no value to compare
}

TEST(ReportFigures, ACheckAddsItsErrors) {
  RunReport cd;
  cd.qualityCheck = QualityMap{17, {}};
  EXPECT_EQ(reportFigures(cd).back().label + " " + reportFigures(cd).back().text, "C2 errors 17");

  RunReport dvd;
  dvd.readScan = ReadScan{};
  dvd.readScan->blocksRead = 4000;
  dvd.readScan->failedBlocks.resize(2);
  dvd.readScan->unreadableSectors = 32;
  dvd.readScan->latencyBuckets = {3900, 90, 7, 2, 1, 0};
  const auto rows = reportFigures(dvd);
  ASSERT_EQ(rows.size(), 25u);
  EXPECT_EQ(rows[16].text, "4000");
  EXPECT_EQ(rows[17].label + " " + rows[17].text, "Reads under 3 ms 3900");
  EXPECT_EQ(rows[21].label + " " + rows[21].text, "Reads under 500 ms 1");
  EXPECT_EQ(rows[22].label + " " + rows[22].text, "Reads of 500 ms or more 0");
  EXPECT_EQ(rows[23].text, "2");
  EXPECT_EQ(rows[24].label + " " + rows[24].text, "Unreadable sectors 32");
  EXPECT_TRUE(rows[16].ofCheck);
  EXPECT_FALSE(rows[15].ofCheck);
}

}  // namespace
}  // namespace tmx
