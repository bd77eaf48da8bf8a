#include "program/compare_table.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

ComparedRun run(const std::string& heading, std::optional<double> averageX, std::optional<int32_t> seekMs,
                MediumKind medium = MediumKind::CD) {
  ComparedRun r{heading, heading + " drive, disc", {}};
  r.report.medium.kind = medium;
  r.report.averageX = averageX;
  r.report.randomSeekMs = seekMs;
  r.report.readingType = "CAV";
  return r;
}

const CompareRow& rowOf(const CompareTable& t, const std::string& label) {
  for (const CompareRow& row : t.rows) {
    if (row.label == label) return row;
  }
  throw std::runtime_error("no row " + label);
}

TEST(CompareTable, EachLaterRunWithItsDifferenceToTheFirst) {
  const std::vector<ComparedRun> runs = {run("#1", 40.0, 90), run("#2", 38.875, 85), run("#3", std::nullopt, 90)};
  const CompareTable t = compareTable(runs);
  EXPECT_FALSE(t.mixedMedia);
  const CompareRow& average = rowOf(t, "Average speed");
  ASSERT_EQ(average.cells.size(), 3u);
  EXPECT_EQ(average.cells[0].text, "40.00 X");
  EXPECT_EQ(average.cells[0].difference, "");
  EXPECT_EQ(average.cells[1].text, "38.88 X");
  EXPECT_EQ(average.cells[1].difference, "-1.12 X");
  EXPECT_EQ(average.cells[2].text, "not measured");
  EXPECT_EQ(average.cells[2].difference, "");
  const CompareRow& seek = rowOf(t, "Random seek");
  EXPECT_EQ(seek.cells[1].difference, "-5 ms");
  EXPECT_EQ(seek.cells[2].difference, "+0 ms");
  EXPECT_EQ(rowOf(t, "Reading type").cells[1].difference, "");  // a word has no difference
}

TEST(CompareTable, ACheckOfOneRunIsARowForAll) {
  std::vector<ComparedRun> runs = {run("#1", 40.0, 90), run("#2", 40.0, 90)};
  runs[1].report.qualityCheck = QualityMap{12, {}};
  const CompareTable t = compareTable(runs);
  const CompareRow& errors = rowOf(t, "C2 errors");
  EXPECT_EQ(errors.cells[0].text, "not measured");
  EXPECT_EQ(errors.cells[1].text, "12");
  EXPECT_EQ(errors.cells[1].difference, "");
}

TEST(CompareTable, TextHasAlignedColumnsAndSaysWhenMediaDiffer) {
  const std::vector<ComparedRun> runs = {run("#1", 40.0, 90), run("#12", 8.5, 120, MediumKind::DVD)};
  const CompareTable t = compareTable(runs);
  EXPECT_TRUE(t.mixedMedia);
  const std::string text = compareTableText(t, runs);
  EXPECT_TRUE(
      text.starts_with("#1 drive, disc\n#12 drive, disc\n"
                       "Different media compared (CD, DVD): speeds are in X of each run's own medium.\n\n"
                       "Figure           #1            #12\n"
                       "Average speed    40.00 X       8.50 X\n"
                       "Start speed      not measured  not measured\n"))
      << text;
  // A CD's X and a DVD's are different speeds: no difference is taken between them; times compare.
  EXPECT_EQ(rowOf(t, "Average speed").cells[1].difference, "");
  EXPECT_NE(text.find("\nRandom seek      90 ms         120 ms (+30 ms)\n"), std::string::npos) << text;
  EXPECT_EQ(compareTableText(compareTable({runs[0], runs[0]}), {runs[0], runs[0]}).find("Different media"),
            std::string::npos);
}

}  // namespace
}  // namespace tmx
