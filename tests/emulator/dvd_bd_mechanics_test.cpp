// DVD and BD geometry and speeds against the figures of the media: where the
// data ends, how each rotation mode runs over one and two layers, and what
// seeks cost.
#include <gtest/gtest.h>

#include "emulator/ground_truth.h"
#include "emulator/presets.h"

namespace tmx::emu {
namespace {

TEST(DiscGeometry, FullDiscsEndAtTheRim) {
  EXPECT_DOUBLE_EQ(dvdGeometry(0, true).radiusAt(0), 0.024);
  EXPECT_NEAR(dvdGeometry(0, true).radiusAt(kDvdSingleLayerSectors - 1), 0.058, 0.0005);
  const DiscGeometry dl = dvdGeometry(kDvdDualLayerSectors / 2, true);
  EXPECT_NEAR(dl.radiusAt(kDvdDualLayerSectors / 2 - 1), 0.058, 0.0005);
  EXPECT_NEAR(bdGeometry(0).radiusAt(kBdSingleLayerSectors - 1), 0.058, 0.0005);
  // Layer 1 of an opposite track path starts where layer 0 ended and returns to the hub.
  EXPECT_DOUBLE_EQ(dl.radiusAt(kDvdDualLayerSectors / 2), dl.radiusAt(kDvdDualLayerSectors / 2 - 1));
  EXPECT_DOUBLE_EQ(dl.radiusAt(kDvdDualLayerSectors - 1), dl.radiusAt(0));
  EXPECT_EQ(dl.layerOf(kDvdDualLayerSectors / 2 - 1), 0);
  EXPECT_EQ(dl.layerOf(kDvdDualLayerSectors / 2), 1);
  // A parallel track path starts layer 1 at the hub again.
  const DiscGeometry ptp = dvdGeometry(1'000'000, false);
  EXPECT_DOUBLE_EQ(ptp.radiusAt(1'000'000), ptp.radiusAt(0));
  EXPECT_DOUBLE_EQ(ptp.radiusAt(1'000'123), ptp.radiusAt(123));
}

// The preset's drive with its disc, at full speed.
struct PresetDrive {
  explicit PresetDrive(const std::string& name) {
    auto p = findPreset(name);
    model = std::make_unique<DriveModel>(p->profile, p->disc, p->seed);
  }
  GroundTruth truth() const { return GroundTruth(*model); }
  std::unique_ptr<DriveModel> model;
};

TEST(DvdBdSpeeds, CavRisesToTheRimAndOverTwoLayersFallsBack) {
  PresetDrive dvdDrive("cav16-dvdrom");
  const GroundTruth dvd = dvdDrive.truth();
  EXPECT_EQ(dvd.family(), DiscFamily::Dvd);
  EXPECT_NEAR(dvd.speedXAt(0), 16 * 24.0 / 58.0, 0.01) << "6.6X at the hub";
  EXPECT_NEAR(dvd.speedXAt(dvd.capacity() - 1), 16, 0.1);
  EXPECT_NEAR(dvd.rpmAt(0), dvd.rpmAt(dvd.capacity() / 2), 1e-6) << "constant spindle";
  EXPECT_NEAR(dvd.rpmAt(0), 16 * 3.49 / (2 * 3.14159265 * 0.058) * 60, 1);
  EXPECT_NEAR(dvd.fastestSpeedX(), dvd.speedXAt(dvd.capacity() - 1), 1e-12);
  EXPECT_NEAR(dvd.oneXBytesPerSecond(), 1'385'000, 1e-6);

  PresetDrive bd("cav8-bd50");
  const GroundTruth g = bd.truth();
  const int32_t b = g.layerBreak();
  EXPECT_EQ(b, 12'219'392);
  EXPECT_TRUE(g.oppositeTrackPath());
  EXPECT_LT(g.speedXAt(0), g.speedXAt(b / 2));
  EXPECT_LT(g.speedXAt(b / 2), g.speedXAt(b - 1));
  EXPECT_DOUBLE_EQ(g.speedXAt(b), g.speedXAt(b - 1)) << "layer 1 starts at the rim";
  EXPECT_GT(g.speedXAt(b + 1'000'000), g.speedXAt(g.capacity() - 1));
  EXPECT_DOUBLE_EQ(g.speedXAt(b + 12'345), g.speedXAt(b - 1 - 12'345)) << "the curve mirrored";
  EXPECT_NEAR(g.speedXAt(0), 8 * 24.0 / 58.0, 0.01);
  EXPECT_NEAR(g.fastestSpeedX(), 8, 0.05);
}

TEST(DvdBdSpeeds, ZclvStepsUpOverLayerZeroAndDownOverLayerOne) {
  PresetDrive drive("zclv8-dvdplusr-dl");
  const GroundTruth g = drive.truth();
  const int32_t b = g.layerBreak();
  EXPECT_EQ(b, 2'086'912);
  EXPECT_DOUBLE_EQ(g.speedXAt(0), 4);
  EXPECT_DOUBLE_EQ(g.speedXAt(699'999), 4);
  EXPECT_DOUBLE_EQ(g.speedXAt(700'000), 6);
  EXPECT_DOUBLE_EQ(g.speedXAt(1'400'000), 8);
  EXPECT_DOUBLE_EQ(g.speedXAt(b), 8);
  // Layer 1 meets layer 0's zone starts at the mirrored LBAs.
  EXPECT_DOUBLE_EQ(g.speedXAt(2 * b - 1'400'000 - 1), 8);
  EXPECT_DOUBLE_EQ(g.speedXAt(2 * b - 1'400'000), 6);
  EXPECT_DOUBLE_EQ(g.speedXAt(2 * b - 700'000), 4);
  EXPECT_DOUBLE_EQ(g.speedXAt(g.capacity() - 1), 4);
  // Reading a zone takes its sectors over the zone's rate.
  EXPECT_NEAR(g.averageSpeedX(100'000, 9'000), 4, 1e-3);
}

TEST(DvdBdSpeeds, PcavAndClvOnTheirMedia) {
  PresetDrive pcavDrive("pcav12-dvd-r");
  const GroundTruth pcav = pcavDrive.truth();
  EXPECT_NEAR(pcav.speedXAt(0), 16 * 24.0 / 58.0, 0.01);
  EXPECT_DOUBLE_EQ(pcav.speedXAt(pcav.capacity() - 1), 12) << "capped";
  EXPECT_EQ(pcav.layers(), 1);
  EXPECT_EQ(pcav.layerBreak(), 0);

  PresetDrive clvDrive("clv4-bdr");
  const GroundTruth clv = clvDrive.truth();
  EXPECT_DOUBLE_EQ(clv.speedXAt(0), 4);
  EXPECT_DOUBLE_EQ(clv.speedXAt(clv.capacity() - 1), 4);
  EXPECT_NEAR(clv.rpmAt(0), 4 * 4.917 / (2 * 3.14159265 * 0.024) * 60, 1);
  EXPECT_GT(clv.rpmAt(0), 2 * clv.rpmAt(clv.capacity() - 1));
  EXPECT_NEAR(clv.oneXBytesPerSecond(), 4'495'500, 1e-6);
  EXPECT_NEAR(clv.averageSpeedX(0, 32'000), 4, 1e-3);
}

TEST(DvdBdSeeks, StrokeOfTheMediumAndAFocusJumpBetweenLayers) {
  for (const char* name : {"cav16-dvdrom", "zclv8-dvdplusr-dl", "pcav12-dvd-r", "cav8-bd50", "clv4-bdr"}) {
    PresetDrive drive(name);
    const GroundTruth g = drive.truth();
    // The sector farthest out: the end of layer 0 on an opposite track path.
    const int32_t end = g.layerBreak() > 0 ? g.layerBreak() - 1 : g.capacity() - 1;
    EXPECT_LT(g.seekMs(0, end / 100), g.seekMs(0, end / 3)) << name;
    EXPECT_GT(g.seekMs(0, end), 100) << name;
    EXPECT_LT(g.seekMs(0, end), 300) << name;
  }
  PresetDrive dl("zclv8-dvdplusr-dl");
  const Mechanics& m = dl.model->mechanics();
  const DriveProfile& p = dl.model->profile();
  const int32_t b = dl.truth().layerBreak();
  // Across the break the head stays at the rim: settle and the focus jump alone.
  EXPECT_EQ(m.seekNs(b - 1, b, 8), static_cast<int64_t>((p.seekSettleMs + p.layerJumpMs) * 1e6));
  // To layer 1's last sector: back to the hub, the whole stroke.
  EXPECT_GT(m.seekNs(0, 2 * b - 1 - 10, 8), m.seekNs(0, 10, 8));
  EXPECT_LT(m.seekNs(0, 2 * b - 1, 8), m.seekNs(0, b - 1, 8)) << "layer 1's end lies at the hub";
}

}  // namespace
}  // namespace tmx::emu
