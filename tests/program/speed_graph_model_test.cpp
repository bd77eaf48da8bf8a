#include "program/speed_graph_model.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace tmx {
namespace {

using Kind = GraphShape::Kind;

constexpr uint32_t kGreen = 0x0000FF00;   // default transfer rate colour
constexpr uint32_t kYellow = 0x0000FFFF;  // default RPM colour, quality bars
constexpr uint32_t kRed = 0x000000FF;     // end marker

GraphShape lineShape(int x1, int y1, int x2, int y2, uint32_t colour) {
  return GraphShape{Kind::Line, x1, y1, x2, y2, colour, 0, {}};
}

std::vector<GraphShape> linesIn(const SpeedGraphModel& model, uint32_t colour) {
  std::vector<GraphShape> out;
  for (const auto& s : model.shapes()) {
    if (s.kind == Kind::Line && s.colour == colour) out.push_back(s);
  }
  return out;
}

std::vector<std::string> textsAt(const SpeedGraphModel& model, int x) {
  std::vector<std::string> out;
  for (const auto& s : model.shapes()) {
    if (s.kind == Kind::Text && s.x1 == x) out.push_back(s.text);
  }
  return out;
}

struct Rig {
  AppSettings settings;
  TestResults record;
  SpeedGraphModel model{settings, record};
  Rig() { resetRecord(record); }
  // A measured run: `zones` samples of `sample`, then the -1.0 that ends the list.
  void measured(int32_t discLength, int zones, double sample) {
    record.discLength = discLength;
    for (int i = 0; i < zones; ++i) record.speedSamples[static_cast<size_t>(i)] = sample;
    if (zones < kSpeedSampleCount) record.speedSamples[static_cast<size_t>(zones)] = -1.0;
  }
};

TEST(SpeedGraphModel, SpeedAxisLabelsAndGridFollowTheMaximumSpeed) {
  Rig rig;
  rig.model.redrawGraph();
  EXPECT_EQ(textsAt(rig.model, 17), (std::vector<std::string>{" 0X", " 8X", "16X", "24X", "32X", "40X", "48X"}));
  // Label 8 sits 8 * 251 / 50 = 40 pixels up; its line spans x 37 to 440.
  const auto& shapes = rig.model.shapes();
  const auto label8 = std::find_if(shapes.begin(), shapes.end(), [](const GraphShape& s) { return s.text == " 8X"; });
  ASSERT_NE(label8, shapes.end());
  EXPECT_EQ(label8->y1, 308 - 40 - 8);
  EXPECT_EQ(*(label8 + 1), lineShape(37, 268, 440, 268, 0x00FF4040));
  // A grid line at every whole X: 7X, unlabelled, 35 pixels up.
  EXPECT_EQ(*(label8 - 1), lineShape(37, 273, 440, 273, 0x00A00000));
  // Minutes along the bottom, every fifth zone line, and the RPM scale on the right.
  EXPECT_EQ(textsAt(rig.model, 41), std::vector<std::string>{" 0"});
  EXPECT_EQ(textsAt(rig.model, 441), std::vector<std::string>{"80"});
  EXPECT_EQ(textsAt(rig.model, 452), (std::vector<std::string>{"0", "5", "10", "15", "20", "25"}));

  rig.settings.graphMaxSpeed = 10;
  rig.model.redrawGraph();
  EXPECT_EQ(textsAt(rig.model, 17), (std::vector<std::string>{" 0X", " 8X"}));
  EXPECT_EQ(textsAt(rig.model, 452), (std::vector<std::string>{"0", "5"}));
}

TEST(SpeedGraphModel, EndMarkerAndCurveCoverTheMeasuredZones) {
  Rig rig;
  rig.measured(333000, 37, 40.0);
  rig.record.speedSamples[37] = 40.0;  // past the disc: never replayed
  rig.model.redrawGraph();
  EXPECT_EQ(linesIn(rig.model, kRed), std::vector<GraphShape>{lineShape(400, 58, 400, 308, kRed)});
  const auto curve = linesIn(rig.model, kGreen);
  ASSERT_EQ(curve.size(), 36u);
  EXPECT_EQ(curve.front().x1, 40);
  EXPECT_EQ(curve.back().x2, 400);
  // The replay keeps the record as it was: the entry after each zone is not cut.
  EXPECT_EQ(rig.record.speedSamples[37], 40.0);

  Rig full;
  full.measured(360000, 40, 40.0);
  full.model.redrawGraph();
  EXPECT_TRUE(linesIn(full.model, kRed).empty());
  EXPECT_EQ(linesIn(full.model, kGreen).size(), 39u);
}

TEST(SpeedGraphModel, TwelveXInTheFirstZonesGivesTheKnownSegments) {
  Rig rig;
  rig.model.plotZoneSample(0, 60.0);
  EXPECT_NEAR(rig.model.lastPlottedRpm(), 59.60, 0.01);
  EXPECT_TRUE(linesIn(rig.model, kGreen).empty());  // zone 0 only starts the curve
  rig.model.plotZoneSample(1, 60.0);
  EXPECT_NEAR(rig.model.lastPlottedRpm(), 56.35, 0.01);
  EXPECT_EQ(linesIn(rig.model, kGreen), std::vector<GraphShape>{lineShape(40, 248, 50, 248, kGreen)});
  EXPECT_EQ(linesIn(rig.model, kYellow), std::vector<GraphShape>{lineShape(40, 248, 50, 251, kYellow)});

  // The same run on repaint, with the RPM curve and its scale switched off.
  rig.settings.showRpm = false;
  rig.measured(30000, 2, 60.0);
  rig.model.redrawGraph();
  EXPECT_EQ(linesIn(rig.model, kGreen), std::vector<GraphShape>{lineShape(40, 248, 50, 248, kGreen)});
  EXPECT_TRUE(linesIn(rig.model, kYellow).empty());
  EXPECT_TRUE(textsAt(rig.model, 452).empty());
  for (const auto& s : rig.model.shapes()) EXPECT_FALSE(s.kind == Kind::Line && s.x1 == 440 && s.x2 == 443);
}

TEST(SpeedGraphModel, QualityModeDrawsPercentLabelsAndErrorBars) {
  Rig rig;
  rig.model.setQualityMode(true, 9000);  // ten blocks
  for (int j = 0; j < 10; ++j) rig.record.qualityMap[static_cast<size_t>(j)] = j == 4 ? 0 : 30;
  rig.record.qualityMap[6] = -1;  // not read: the replay stops here
  rig.record.speedSamples.fill(60.0);
  rig.record.discLength = 360000;
  rig.model.redrawGraph();
  EXPECT_EQ(textsAt(rig.model, 17), (std::vector<std::string>{" 0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%",
                                                               "80%", "90%", "100%"}));
  EXPECT_TRUE(textsAt(rig.model, 452).empty());
  EXPECT_EQ(linesIn(rig.model, kRed), std::vector<GraphShape>{lineShape(50, 58, 50, 308, kRed)});
  // Block 0 is never drawn, block 4 holds 0 and draws nothing; samples are not plotted.
  const auto bars = linesIn(rig.model, kYellow);
  ASSERT_EQ(bars.size(), 4u);
  for (size_t i = 0; i < bars.size(); ++i) {
    const int x = 40 + (i < 3 ? 1 + static_cast<int>(i) : 5);
    EXPECT_EQ(bars[i], lineShape(x, 308, x, 278, kYellow));
  }
  EXPECT_TRUE(linesIn(rig.model, kGreen).empty());
}

TEST(SpeedGraphModel, NothingIsDrawnOutsideThePlot) {
  Rig rig;
  // A record from a file: every sample set, a length far past the plot.
  rig.record.discLength = 2'000'000'000;
  rig.record.speedSamples.fill(40.0);
  rig.record.speedSamples[5] = 300.0;  // 60X on a 50X scale: both its segments are left out
  rig.model.redrawGraph();
  rig.model.plotZoneSample(60, 40.0);
  rig.model.plotZoneSample(-3, 40.0);
  auto content = [&] {
    std::vector<GraphShape> out;
    for (uint32_t c : {kGreen, kYellow, kRed}) {
      for (const auto& s : linesIn(rig.model, c)) out.push_back(s);
    }
    return out;
  };
  // The first and the last pixel a line sets (its end point is excluded).
  auto checkInside = [&] {
    for (const auto& s : content()) {
      const int lastY = s.x1 != s.x2 ? s.y2 : s.y2 + (s.y2 > s.y1 ? -1 : 1);
      for (int x : {s.x1, s.x2}) EXPECT_TRUE(x >= 40 && x <= 440) << x;
      for (int y : {s.y1, lastY}) EXPECT_TRUE(y >= 58 && y <= 308) << y;
    }
  };
  checkInside();
  EXPECT_EQ(linesIn(rig.model, kGreen).size(), 40u - 2u);

  // Quality mode on a length past the map, with bars taller than the plot.
  rig.model.setQualityMode(true, 1'000'000);
  rig.record.qualityMap.fill(1000);
  rig.model.redrawGraph();
  rig.model.markQualityBlock(450, 5.0);
  rig.model.markQualityBlock(-1, 5.0);
  rig.model.drawEndMarker(-900);
  checkInside();
  const auto bars = linesIn(rig.model, kYellow);
  ASSERT_EQ(bars.size(), 400u);
  EXPECT_EQ(bars.back(), lineShape(440, 308, 440, 57, kYellow));  // 57 is the excluded end
}

TEST(SpeedGraphModel, ReplayStopsAtNotANumberAndSkipsBadPoints) {
  Rig rig;
  rig.measured(180000, 10, 40.0);
  rig.record.speedSamples[4] = std::numeric_limits<double>::quiet_NaN();
  rig.model.redrawGraph();
  EXPECT_EQ(linesIn(rig.model, kGreen).size(), 3u);

  // After a reset every sample is the all-ones NaN and the length -1: an empty plot.
  resetRecord(rig.record);
  rig.model.redrawGraph();
  EXPECT_TRUE(linesIn(rig.model, kGreen).empty());
  EXPECT_TRUE(linesIn(rig.model, kRed).empty());

  // Drawn live, a NaN or infinite sample leaves out the segments touching it.
  rig.model.plotZoneSample(0, 40.0);
  rig.model.plotZoneSample(1, std::numeric_limits<double>::infinity());
  rig.model.plotZoneSample(2, 40.0);
  rig.model.plotZoneSample(3, std::nan(""));
  rig.model.plotZoneSample(4, 40.0);
  rig.model.markQualityBlock(3, std::nan(""));
  EXPECT_TRUE(linesIn(rig.model, kGreen).empty());
  EXPECT_TRUE(linesIn(rig.model, kYellow).empty());
}

}  // namespace
}  // namespace tmx

namespace tmx {
namespace {

// A dual-layer DVD: the axis in GB to its nominal 8.5, speeds in DVD X, the
// end and layer-break markers at their GB, the scan's slow cells as bars.
TEST(SpeedGraphModel, ADvdIsDrawnInGigabytesAndItsOwnX) {
  Rig rig;
  rig.record.media.medium = {MediumKind::DVD, 0x002B, "DVD+R DL", 2, true, 4'173'824, 2'086'912};
  rig.record.media.maxReadSpeedX = 8.0;
  rig.record.media.zones = {{0, 4.0}, {65'536, 4.0}, {131'072, 6.0}};
  rig.model.redrawGraph();
  EXPECT_EQ(textsAt(rig.model, kGraphLeft - 23).back(), "10X") << "8X drive: the next label above";
  const auto columnOf = [](int64_t lba) { return kGraphLeft + static_cast<int>(lba * 2048.0 / 1e9 / 8.5 * 400); };
  // 8.55 GB on an 8.5 GB axis: the end marker at the axis's end.
  EXPECT_EQ(linesIn(rig.model, kRed),
            (std::vector<GraphShape>{lineShape(kGraphRight, kGraphTop, kGraphRight, kGraphBottom, kRed)}));
  EXPECT_EQ(linesIn(rig.model, 0x00FFFF00).size(), 1u) << "the layer break";
  EXPECT_EQ(linesIn(rig.model, 0x00FFFF00)[0].x1, columnOf(2'086'912));
  const auto curve = linesIn(rig.model, kGreen);
  ASSERT_EQ(curve.size(), 2u);
  EXPECT_EQ(curve[0].y1, curve[0].y2) << "flat at 4X";
  EXPECT_EQ(curve[1].x2, columnOf(131'072));
  const auto labels = textsAt(rig.model, columnOf(0) + 1);
  EXPECT_EQ(labels, std::vector<std::string>{" 0"});

  rig.model.setQualityMode(true);
  rig.record.media.scan.map.fill(0);
  rig.record.media.scan.map[10] = 2;
  rig.record.media.scan.map[20] = kLatencyBucketCount;
  rig.model.redrawGraph();
  EXPECT_EQ(linesIn(rig.model, kYellow).size(), 1u) << "fast cells draw nothing";
  EXPECT_EQ(linesIn(rig.model, kRed).size(), 2u) << "the end marker and the unreadable cell";
}

}  // namespace
}  // namespace tmx
