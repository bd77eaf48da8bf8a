#include "app/compare_model.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

ComparedRun cdRun(const std::string& heading, std::vector<double> speeds) {
  ComparedRun run{heading, heading + " label", {}};
  for (size_t i = 0; i < speeds.size(); ++i) run.report.zones.push_back({static_cast<int64_t>(i) * 9000, speeds[i]});
  run.report.averageX = speeds.empty() ? std::nullopt : std::optional(speeds[0]);
  return run;
}

TEST(CompareModel, GraphFollowsTheCanvasAndTheReadoutNamesEveryRun) {
  CompareModel model({cdRun("#4", {20, 24, 28}), cdRun("#9", {30, 30, 30}), cdRun("#2", {})});
  EXPECT_EQ(model.title(), "Compare 3 runs");
  EXPECT_EQ(model.readoutText(100), "");  // nothing drawn yet
  const CompareGraph& small = model.graph(872, 500);
  EXPECT_EQ(small.axes.right, 848);
  const int threeMinutes = small.axes.left + 30;
  EXPECT_EQ(model.readoutText(threeMinutes), "3.0 min   #4 26.00 X   #9 30.00 X   #2 -");
  EXPECT_EQ(model.readoutText(small.axes.left - 5), "");
  // A larger canvas: the plot widens, the readout follows it.
  const CompareGraph& large = model.graph(1672, 700);
  EXPECT_EQ(large.axes.right, 1648);
  EXPECT_EQ(model.readoutText(large.axes.left + 60), "3.0 min   #4 26.00 X   #9 30.00 X   #2 -");
  EXPECT_EQ(model.table().rows[0].cells[1].difference, "+10.00 X");
}

TEST(CompareModel, SvgOfTheSizeAskedAndAtMostEightRuns) {
  std::vector<ComparedRun> runs;
  for (int i = 0; i < 10; ++i) runs.push_back(cdRun("#" + std::to_string(i), {10, 12}));
  CompareModel model(std::move(runs));
  EXPECT_EQ(model.runs().size(), 8u);
  EXPECT_EQ(model.table().rows[0].cells.size(), 8u);
  const std::string svg = model.svg(900, 600);
  EXPECT_NE(svg.find("width=\"900\" height=\"600\""), std::string::npos);
  EXPECT_NE(svg.find(">#7 label</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">#8 label</text>"), std::string::npos);
  EXPECT_NE(model.svg(10, 10).find("width=\"320\" height=\"240\""), std::string::npos);
}

}  // namespace
}  // namespace tmx
