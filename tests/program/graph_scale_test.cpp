// The graph's vertical scale by medium, drive and the options' choice.
#include "program/graph_scale.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

MediumResults mediaOf(MediumKind kind, std::optional<double> maximumX) {
  MediumResults media;
  media.medium.kind = kind;
  media.maxReadSpeedX = maximumX;
  return media;
}

TEST(GraphScale, FollowsTheDriveOrTheFixedChoice) {
  AppSettings fixed;
  fixed.graphMaxSpeed = 40;
  EXPECT_EQ(graphScaleFor(fixed, mediaOf(MediumKind::CD, 52.0)).fullScale, 40) << "a user's fixed scale holds";
  AppSettings automatic;
  automatic.graphAutoScale = true;
  EXPECT_EQ(graphScaleFor(automatic, mediaOf(MediumKind::CD, 52.0)).fullScale, 56) << "before: 50, the last zones cut";
  EXPECT_EQ(graphScaleFor(automatic, mediaOf(MediumKind::CD, 16.0)).fullScale, 24) << "a curve at the top stays inside";
  EXPECT_EQ(graphScaleFor(automatic, mediaOf(MediumKind::CD, std::nullopt)).fullScale, 50) << "no maximum known";
  EXPECT_EQ(graphScaleFor(automatic, mediaOf(MediumKind::CD, std::nullopt), 30.5).fullScale, 32) << "a loaded file's fastest zone";
  EXPECT_EQ(graphScaleFor(automatic, mediaOf(MediumKind::CD, 52.0)).labelStep, 8);

  // A DVD or BD follows its drive in its own X whatever the CD choice.
  const GraphScale dvd = graphScaleFor(fixed, mediaOf(MediumKind::DVD, 16.0));
  EXPECT_EQ(dvd.fullScale, 18);
  EXPECT_EQ(dvd.labelStep, 2);
  EXPECT_EQ(graphScaleFor(fixed, mediaOf(MediumKind::BD, 12.0)).fullScale, 14);
  EXPECT_EQ(graphScaleFor(fixed, mediaOf(MediumKind::DVD, std::nullopt)).fullScale, 24);
  EXPECT_EQ(graphScaleFor(fixed, mediaOf(MediumKind::DVD, 48.0)).labelStep, 8);
}

}  // namespace
}  // namespace tmx
