#include "program/compare_graph.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "program/graph_svg.h"

namespace tmx {
namespace {

using Kind = GraphShape::Kind;

CompareCurve cdCurve(const std::string& label, std::vector<double> speeds) {
  CompareCurve c{label, MediumKind::CD, 0, {}};
  for (size_t i = 0; i < speeds.size(); ++i) c.zones.push_back({static_cast<int64_t>(i) * 9000, speeds[i]});
  return c;
}

std::vector<GraphShape> ofColour(const CompareGraph& g, Kind kind, uint32_t colour) {
  std::vector<GraphShape> out;
  for (const GraphShape& s : g.shapes) {
    if (s.kind == kind && (kind == Kind::FilledRect ? s.fill : s.colour) == colour) out.push_back(s);
  }
  return out;
}

bool hasText(const CompareGraph& g, const std::string& text) {
  return std::any_of(g.shapes.begin(), g.shapes.end(),
                     [&](const GraphShape& s) { return s.kind == Kind::Text && s.text == text; });
}

TEST(CompareGraph, EachRunsCurveInItsColourOnACdMinutesAxis) {
  const std::vector<CompareCurve> curves = {cdCurve("#1 first", {20, 24, 28, 32}), cdCurve("#2 second", {40, 40, 40})};
  const CompareGraph g = compareGraph(curves, 800, 500);
  const CompareAxes& a = g.axes;
  EXPECT_TRUE(a.minutes);
  EXPECT_FALSE(a.mixedMedia);
  EXPECT_EQ(a.xMax, 80);
  EXPECT_EQ(a.yMaxX, 40);  // 5 steps of 8X
  EXPECT_EQ(a.left, 48);
  EXPECT_EQ(a.right, 776);
  // Two runs: legend 36 px, axis labels 36 px.
  EXPECT_EQ(a.bottom, 500 - 36 - 36);

  const auto first = ofColour(g, Kind::Line, compareColour(0));
  ASSERT_EQ(first.size(), 3u);
  // Zone 1 starts 2 minutes in: 2/80 of the plot's 728 pixels.
  EXPECT_EQ(first[0].x1, 48);
  EXPECT_EQ(first[0].x2, 48 + 18);
  EXPECT_EQ(first[0].y1, a.bottom - (a.bottom - a.top) / 2);  // 20X of 40X
  EXPECT_EQ(first[2].y2, a.bottom - (a.bottom - a.top) * 32 / 40);
  const auto second = ofColour(g, Kind::Line, compareColour(1));
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[1].y2, a.top);

  for (const char* label : {"0", "10", "80", "minutes", "0X", "8X", "40X"}) EXPECT_TRUE(hasText(g, label)) << label;
  EXPECT_FALSE(hasText(g, "90"));
}

TEST(CompareGraph, LegendHasASwatchAndTheLabelOfEveryRun) {
  std::vector<CompareCurve> curves;
  for (int i = 0; i < 9; ++i) curves.push_back(cdCurve("run <" + std::to_string(i) + ">", {10, 12}));
  const CompareGraph g = compareGraph(curves, 640, 480);
  for (int i = 0; i < kMaxComparedRuns; ++i) {
    const auto swatch = ofColour(g, Kind::FilledRect, compareColour(i));
    ASSERT_EQ(swatch.size(), 1u) << i;
    EXPECT_EQ(swatch[0].x2 - swatch[0].x1, 16);
    EXPECT_TRUE(hasText(g, "run <" + std::to_string(i) + ">"));
  }
  EXPECT_FALSE(hasText(g, "run <8>"));  // a ninth run is not drawn
  // Eight colours, all different.
  std::vector<uint32_t> colours;
  for (int i = 0; i < kMaxComparedRuns; ++i) colours.push_back(compareColour(i));
  std::sort(colours.begin(), colours.end());
  EXPECT_EQ(std::unique(colours.begin(), colours.end()), colours.end());
  // The labels are escaped in the SVG, left-aligned.
  const std::string svg = shapesSvg(g.shapes, 640, 480);
  EXPECT_NE(svg.find("text-anchor=\"start\" fill=\"#000000\">run &lt;0&gt;</text>"), std::string::npos);
  EXPECT_NE(svg.find("width=\"640\" height=\"480\" viewBox=\"0 0 640 480\""), std::string::npos);
  // A drive's stray byte stays valid XML.
  const std::string odd = shapesSvg(compareGraph({cdCurve("VEN\xff\x01", {10, 12})}, 640, 480).shapes, 640, 480);
  EXPECT_NE(odd.find(">VEN\xEF\xBF\xBD\xEF\xBF\xBD</text>"), std::string::npos);
}

TEST(CompareGraph, DvdAndBdRunsInGbAndMixedMediaSaySo) {
  CompareCurve dvd{"dvd", MediumKind::DVD, 4.7, {{0, 6.0}, {1'000'000, 9.5}, {2'000'000, 12.0}}};
  const CompareGraph g = compareGraph({dvd, dvd}, 800, 500);
  EXPECT_FALSE(g.axes.minutes);
  EXPECT_EQ(g.axes.xMax, 5);  // 4.7 GB rounded up to its label step
  EXPECT_EQ(g.axes.yMaxX, 12);
  EXPECT_TRUE(hasText(g, "GB"));
  EXPECT_TRUE(hasText(g, "4"));
  EXPECT_FALSE(g.axes.mixedMedia);

  const CompareGraph mixed = compareGraph({cdCurve("cd", {20, 40}), dvd}, 800, 500);
  EXPECT_TRUE(mixed.axes.mixedMedia);
  EXPECT_FALSE(mixed.axes.minutes);
  const auto note = std::find_if(mixed.shapes.begin(), mixed.shapes.end(),
                                 [](const GraphShape& s) { return s.text.starts_with("Different media compared"); });
  ASSERT_NE(note, mixed.shapes.end());
  EXPECT_TRUE(note->leftAligned);
  // The CD's zone 1 (9000 sectors) lies at 0.018 GB on the shared axis.
  EXPECT_NEAR(axisPosition(cdCurve("cd", {}), 9000, false), 0.018432, 1e-9);
  EXPECT_NEAR(axisPosition(cdCurve("cd", {}), 9000, true), 2.0, 1e-9);
}

TEST(CompareGraph, ReadoutInterpolatesEachCurveUnderThePointer) {
  const std::vector<CompareCurve> curves = {cdCurve("a", {20, 24, 28}), cdCurve("b", {40})};
  const CompareGraph g = compareGraph(curves, 872, 500);  // 800 plot pixels: 80 minutes
  const int threeMinutes = g.axes.left + 3 * (g.axes.right - g.axes.left) / 80;
  const auto readout = compareReadout(g, curves, threeMinutes);
  ASSERT_TRUE(readout);
  EXPECT_EQ(readout->position, "3.0 min");
  ASSERT_EQ(readout->speedsX.size(), 2u);
  EXPECT_NEAR(*readout->speedsX[0], 26.0, 1e-9);
  EXPECT_FALSE(readout->speedsX[1]);  // one zone: no curve to read
  EXPECT_FALSE(compareReadout(g, curves, g.axes.left - 1));
  EXPECT_FALSE(compareReadout(g, curves, g.axes.right + 1));
  const auto far = compareReadout(g, curves, g.axes.right);
  ASSERT_TRUE(far);
  EXPECT_EQ(far->position, "80.0 min");
  EXPECT_FALSE(far->speedsX[0]);
}

TEST(CompareGraph, NothingMeasuredStillDrawsAFrame) {
  const CompareGraph g = compareGraph({cdCurve("a", {}), cdCurve("b", {})}, 10, 10);
  EXPECT_EQ(g.axes.right, 320 - 24);  // the smallest canvas
  EXPECT_EQ(g.axes.yMaxX, 1);
  EXPECT_TRUE(ofColour(g, Kind::Line, compareColour(0)).empty());
}

}  // namespace
}  // namespace tmx
