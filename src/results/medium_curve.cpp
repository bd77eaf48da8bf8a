#include "results/medium_curve.h"

#include <algorithm>
#include <cmath>

namespace tmx {
namespace {

// A step of less than 1% is flat: the steps of a CAV curve between zones of a
// full disc are larger (from about 7% at the hub to 1.2% at the rim), and a
// reading's noise is smaller.
constexpr double kFlatStep = 0.01;
// No drive's reading type slows down from one zone to the next by more than
// noise: a curve that falls by 5% has none (a disc read with retries, a host
// that stalls), and naming one would be a guess.
constexpr double kFallStep = 0.05;

}  // namespace

double largestFall(const std::vector<double>& speeds) {
  double fall = 0;
  for (size_t i = 1; i < speeds.size(); ++i) {
    fall = std::max(fall, (speeds[i - 1] - speeds[i]) / std::max(speeds[i - 1], 1e-9));
  }
  return fall;
}

std::optional<std::string> curveType(const std::vector<double>& speeds) {
  if (speeds.size() < 3 || largestFall(speeds) > kFallStep) return std::nullopt;
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

std::vector<std::vector<double>> layerCurves(const std::vector<ZoneSpeed>& zones, const Medium& medium) {
  std::vector<std::vector<double>> layers(medium.layers < 2 || !medium.layerBreakLba ? 1 : 2);
  for (const ZoneSpeed& z : zones) {
    layers[layers.size() > 1 && z.startLba >= *medium.layerBreakLba ? 1 : 0].push_back(z.speedX);
  }
  if (layers.size() > 1 && medium.oppositeTrackPath) std::reverse(layers[1].begin(), layers[1].end());
  return layers;
}

std::optional<double> unclassifiedFall(const std::vector<ZoneSpeed>& zones, const Medium& medium) {
  double fall = 0;
  for (const std::vector<double>& layer : layerCurves(zones, medium)) fall = std::max(fall, largestFall(layer));
  if (fall > kFallStep) return fall;
  return std::nullopt;
}

std::optional<std::string> mediumReadingType(const std::vector<ZoneSpeed>& zones, const Medium& medium) {
  if (unclassifiedFall(zones, medium)) return std::nullopt;
  const std::vector<std::vector<double>> layers = layerCurves(zones, medium);
  if (layers.size() == 1) return curveType(layers[0]);
  const std::vector<double>& layer0 = layers[0];
  const std::vector<double>& layer1 = layers[1];
  const auto first = curveType(layer0);
  const auto second = curveType(layer1);
  if (!first) return std::nullopt;
  if (!second || *second == *first) return first;
  return "L0 " + *first + ", L1 " + *second;
}

}  // namespace tmx
