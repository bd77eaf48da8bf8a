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
  EXPECT_EQ(curveType(speeds), "P-CAV") << "as one curve it would read wrong";

  std::vector<double> mixed(31, 0);
  for (int i = 0; i < 31; ++i) mixed[static_cast<size_t>(i)] = i < 10 ? 6 : i < 20 ? 8 : 10;
  mixed.insert(mixed.end(), layer1.begin(), layer1.end());
  EXPECT_EQ(mediumReadingType(zones(mixed, 65'536), dl), "L0 Z-CLV, L1 CAV");
}

}  // namespace
}  // namespace tmx
