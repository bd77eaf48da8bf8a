// Physics of the rotation modes, seeks and spindle, checked as relations
// (what grows, what stays, what flattens) rather than as constants.
#include <gtest/gtest.h>

#include "emulator/mechanics.h"
#include "emulator/presets.h"

namespace tmx::emu {
namespace {

constexpr int32_t kEnd74 = 332'999;

DriveProfile profileOf(const char* preset) { return findPreset(preset)->profile; }

TEST(Geometry, RadiusGrowsFromTheInnerEdgeToNearTheRim) {
  EXPECT_DOUBLE_EQ(radiusAtLba(0), kInnerRadiusM);
  EXPECT_GT(radiusAtLba(kEnd74), 0.057);
  EXPECT_LT(radiusAtLba(kEnd74), kRimRadiusM);
  EXPECT_LT(radiusAtLba(100'000), radiusAtLba(100'001));
}

TEST(Rotation, CavSpeedGrowsWithRadiusAtConstantRpm) {
  const DriveProfile p = profileOf("cav52-audio74");
  const Mechanics m(p);
  EXPECT_NEAR(m.speedXAt(0, 52), 22.4, 0.5);
  EXPECT_NEAR(m.speedXAt(kEnd74, 52), 52, 0.5);
  EXPECT_NEAR(m.rpmAt(0, 52), m.rpmAt(kEnd74, 52), 1.0);
  EXPECT_NEAR(m.speedXAt(kEnd74, 52) / m.speedXAt(0, 52), radiusAtLba(kEnd74) / radiusAtLba(0), 1e-9);
}

TEST(Rotation, ClvSpeedIsFlatAndRpmFallsOutward) {
  const DriveProfile p = profileOf("clv16-data74");
  const Mechanics m(p);
  EXPECT_DOUBLE_EQ(m.speedXAt(0, 16), m.speedXAt(kEnd74, 16));
  EXPECT_GT(m.rpmAt(0, 16), 2 * m.rpmAt(kEnd74, 16));
  EXPECT_GT(m.rpmAt(100'000, 16), m.rpmAt(200'000, 16));
}

TEST(Rotation, PcavClimbsLikeCavThenFlattensAtItsCap) {
  const DriveProfile p = profileOf("pcav32-audio80");
  const Mechanics m(p);
  EXPECT_LT(m.speedXAt(0, 32), m.speedXAt(50'000, 32));
  EXPECT_NEAR(m.rpmAt(0, 32), m.rpmAt(20'000, 32), 1.0);  // constant spindle inside
  EXPECT_DOUBLE_EQ(m.speedXAt(300'000, 32), 32);
  EXPECT_DOUBLE_EQ(m.speedXAt(359'999, 32), 32);
  EXPECT_GT(m.rpmAt(300'000, 32), m.rpmAt(359'999, 32));  // CLV beyond the cap
}

TEST(Rotation, ZclvStepsUpByZone) {
  const DriveProfile p = profileOf("zclv48-cdr-ty");
  const Mechanics m(p);
  EXPECT_DOUBLE_EQ(m.speedXAt(0, 48), m.speedXAt(70'000, 48));
  double previous = 0;
  for (const SpeedZone& z : p.zones) {
    EXPECT_GT(m.speedXAt(z.fromLba, 48), previous);
    previous = m.speedXAt(z.fromLba, 48);
  }
}

TEST(Rotation, SpeedLimitCapsEveryModeAndStepsAreAtOrBelowTheRequest) {
  const DriveProfile p = profileOf("cav52-audio74");
  const Mechanics m(p);
  EXPECT_DOUBLE_EQ(m.speedStepForRequest(0xFFFF), 52);
  EXPECT_DOUBLE_EQ(m.speedStepForRequest(8 * 177), 8);
  EXPECT_DOUBLE_EQ(m.speedStepForRequest(8 * 176), 8);
  EXPECT_DOUBLE_EQ(m.speedStepForRequest(8 * 176 - 1), 4);
  EXPECT_DOUBLE_EQ(m.speedStepForRequest(100), 4);  // below the slowest step
  EXPECT_DOUBLE_EQ(m.speedStepForRequest(60 * 176), 52);
  EXPECT_DOUBLE_EQ(m.speedXAt(kEnd74, 8), 8);
  EXPECT_DOUBLE_EQ(m.speedXAt(0, 8), 8);
}

TEST(Seek, GrowsWithDistanceWithinTypicalFigures) {
  for (const Preset& preset : presets()) {
    if (preset.disc && preset.disc->family != DiscFamily::Cd) continue;  // in their own geometry below
    const Mechanics m(preset.profile);
    const double limit = preset.profile.maxSpeedX;
    EXPECT_EQ(m.seekNs(1000, 1000, limit), 0);
    const int64_t near = m.seekNs(0, 1000, limit);
    const int64_t third = m.seekNs(0, 105'000, limit);
    const int64_t full = m.seekNs(0, 314'999, limit);
    EXPECT_LT(near, third) << preset.name;
    EXPECT_LT(third, full) << preset.name;
    EXPECT_GT(full, 120'000'000) << preset.name;
    EXPECT_LT(full, 210'000'000) << preset.name;
  }
}

TEST(Seek, ClvPaysForTheSpindleChangeCavDoesNot) {
  DriveProfile clv = profileOf("clv16-data74");
  DriveProfile cav = clv;
  cav.rotation = Rotation::Cav;
  const Mechanics mc(clv), ma(cav);
  EXPECT_GT(mc.seekNs(0, 300'000, 16), ma.seekNs(0, 300'000, 16) + 20'000'000);
}

TEST(Spin, SpinUpTakesLongerToFasterSpindleRates) {
  const DriveProfile p = profileOf("cav52-audio74");
  const Mechanics m(p);
  EXPECT_GT(m.spinUpNs(100, 52), m.spinUpNs(100, 8));
  EXPECT_GT(m.spinUpNs(100, 52), 1'000'000'000);
  EXPECT_LT(m.spinUpNs(100, 52), 4'000'000'000);
  EXPECT_GT(m.spinDownNs(100, 52), m.spinDownNs(100, 8));
}

}  // namespace
}  // namespace tmx::emu
