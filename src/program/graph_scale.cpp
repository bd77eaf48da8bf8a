#include "program/graph_scale.h"

#include <algorithm>
#include <cmath>

namespace tmx {
namespace {

// The next label above: a curve at the drive's maximum stays inside the plot.
int roundUp(double value, int step) { return (static_cast<int>(std::floor(value / step)) + 1) * step; }

}  // namespace

GraphScale graphScaleFor(const AppSettings& settings, const MediumResults& media, std::optional<double> measuredX) {
  GraphScale scale;
  // Without the drive (a loaded file) the run's own fastest zone stands in.
  const std::optional<double> maximum = media.maxReadSpeedX ? media.maxReadSpeedX : measuredX;
  const bool known = maximum && *maximum > 0 && std::isfinite(*maximum);
  if (media.medium.kind == MediumKind::CD) {
    scale.fullScale = settings.graphAutoScale && known ? roundUp(*maximum, 8) : settings.graphMaxSpeed;
    scale.fullScale = std::clamp(scale.fullScale, 10, 100);
    return scale;
  }
  const double top = known ? *maximum : media.medium.kind == MediumKind::DVD ? 24.0 : 16.0;
  scale.labelStep = top < 24 ? 2 : top < 48 ? 4 : 8;
  scale.fullScale = std::clamp(known ? roundUp(top, scale.labelStep) : static_cast<int>(top), 4, 100);
  return scale;
}

}  // namespace tmx
