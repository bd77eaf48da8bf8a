// The reading type of a DVD's or BD's curve, per layer on a dual-layer disc.
#include "results/medium_curve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tmx {
namespace {

// A CAV curve over n zones of a disc from 24 to 58 mm: speed by radius.
std::vector<double> cav(int n, double rimX) {
  std::vector<double> speeds;
  for (int i = 0; i < n; ++i) speeds.push_back(rimX * std::sqrt(576.0 + i * (3364.0 - 576.0) / n) / 58.0);
  return speeds;
}

TEST(MediumCurve, TellsTheFourWaysOfReading) {
  EXPECT_EQ(curveType({8.0, 8.0, 8.01, 7.99, 8.0}), "CLV");
  EXPECT_EQ(curveType(cav(35, 16)), "CAV");
  std::vector<double> pcav = cav(35, 16);
  for (double& s : pcav) s = std::min(s, 12.0);
  EXPECT_EQ(curveType(pcav), "P-CAV");
  EXPECT_EQ(curveType({6, 6, 6, 6, 8, 8, 8, 8, 12, 12, 12, 12, 16, 16, 16}), "Z-CLV");
  EXPECT_EQ(curveType({8, 8}), std::nullopt) << "two zones tell nothing";
}

std::vector<ZoneSpeed> zones(const std::vector<double>& speeds, int64_t zoneSectors) {
  std::vector<ZoneSpeed> out;
  for (size_t i = 0; i < speeds.size(); ++i) out.push_back({static_cast<int64_t>(i) * zoneSectors, speeds[i]});
  return out;
}

TEST(MediumCurve, ADualLayerDiscIsReadPerLayerFromTheHub) {
  // Opposite track path: the curve rises over layer 0 and falls over layer 1.
  std::vector<double> speeds = cav(31, 12);
  std::vector<double> layer1 = speeds;
  std::reverse(layer1.begin(), layer1.end());
  speeds.insert(speeds.end(), layer1.begin(), layer1.end());
  Medium dl{MediumKind::DVD, 0x002B, "DVD+R DL", 2, true, 4'173'824, 31 * 65'536};
  EXPECT_EQ(mediumReadingType(zones(speeds, 65'536), dl), "CAV") << "falling layer 1 read from its hub";
  EXPECT_EQ(curveType(speeds), std::nullopt) << "as one curve it falls by 7% at the hub: no type";

  std::vector<double> mixed(31, 0);
  for (int i = 0; i < 31; ++i) mixed[static_cast<size_t>(i)] = i < 10 ? 6 : i < 20 ? 8 : 10;
  mixed.insert(mixed.end(), layer1.begin(), layer1.end());
  EXPECT_EQ(mediumReadingType(zones(mixed, 65'536), dl), "L0 Z-CLV, L1 CAV");
  EXPECT_EQ(unclassifiedFall(zones(mixed, 65'536), dl), std::nullopt);

  // Layer 1 read the wrong way round (a parallel-track disc taken for OTP)
  // falls from the hub: neither layer's type is given.
  Medium ptp = dl;
  ptp.oppositeTrackPath = false;
  EXPECT_EQ(mediumReadingType(zones(speeds, 65'536), ptp), std::nullopt);
}

// A host that stalls or a disc read with retries makes a curve that falls
// between zones: no drive reads so, and the fall is told, not a type guessed.
TEST(MediumCurve, ACurveThatFallsHasNoReadingType) {
  const std::vector<double> noisy = {33.99, 26.76, 31.26, 22.47, 20.48, 24.62, 28.26};
  Medium dvd{MediumKind::DVD, 0x0010, "DVD-ROM", 1, false, 470'016, std::nullopt};
  EXPECT_EQ(curveType(noisy), std::nullopt);
  EXPECT_EQ(mediumReadingType(zones(noisy, 65'536), dvd), std::nullopt);
  const auto fall = unclassifiedFall(zones(noisy, 65'536), dvd);
  ASSERT_TRUE(fall);
  EXPECT_NEAR(*fall, (31.26 - 22.47) / 31.26, 1e-12);

  EXPECT_TRUE(curveType({8.0, 7.7, 8.0, 8.0})) << "a 3.75% dip still leaves a type";
  EXPECT_EQ(unclassifiedFall(zones({8.0, 7.7, 8.0, 8.0}, 65'536), dvd), std::nullopt);
}

}  // namespace
}  // namespace tmx
