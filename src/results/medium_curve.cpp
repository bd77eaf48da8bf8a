#include "results/medium_curve.h"

#include <algorithm>
#include <cmath>

namespace tmx {
namespace {

// A step of less than 1% is flat: the steps of a CAV curve between zones of a
// full disc are larger (from about 7% at the hub to 1.2% at the rim), and a
// reading's noise is smaller.
constexpr double kFlatStep = 0.01;

}  // namespace

std::optional<std::string> curveType(const std::vector<double>& speeds) {
  if (speeds.size() < 3) return std::nullopt;
  int flats = 0, rises = 0;
  bool flatBeforeRise = false;
  for (size_t i = 1; i < speeds.size(); ++i) {
    const double step = (speeds[i] - speeds[i - 1]) / std::max(speeds[i - 1], 1e-9);
    if (std::fabs(step) < kFlatStep || step < 0) {
      ++flats;
    } else {
      if (flats > 0) flatBeforeRise = true;
      ++rises;
    }
  }
  if (rises == 0) return "CLV";
  if (flats <= 1) return "CAV";
  return flatBeforeRise ? "Z-CLV" : "P-CAV";
}

std::optional<std::string> mediumReadingType(const std::vector<ZoneSpeed>& zones, const Medium& medium) {
  if (medium.layers < 2 || !medium.layerBreakLba) {
    std::vector<double> speeds;
    for (const ZoneSpeed& z : zones) speeds.push_back(z.speedX);
    return curveType(speeds);
  }
  std::vector<double> layer0, layer1;
  for (const ZoneSpeed& z : zones) (z.startLba < *medium.layerBreakLba ? layer0 : layer1).push_back(z.speedX);
  if (medium.oppositeTrackPath) std::reverse(layer1.begin(), layer1.end());
  const auto first = curveType(layer0);
  const auto second = curveType(layer1);
  if (!first) return std::nullopt;
  if (!second || *second == *first) return first;
  return "L0 " + *first + ", L1 " + *second;
}

}  // namespace tmx
