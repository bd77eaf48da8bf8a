// The speed graph's vertical scale: its full scale in X of the medium, the
// step of its labels and of its grid lines. A CD keeps the options' fixed
// scale, or with the automatic choice the drive's maximum rounded up to the
// next label above it (8X steps: a 52X drive gets 56X, a 16X drive 24X, so
// the curve stays inside the plot); a DVD or BD always follows the
// drive's maximum for it (the fixed scale is in CD X), rounded up to its
// labels, or a scale that fits the medium's drives when the drive says none.
// A record loaded from a file has no drive: its fastest zone stands in.
#pragma once

#include "results/app_settings.h"
#include "results/medium_results.h"

namespace tmx {

struct GraphScale {
  int fullScale = 50;
  int labelStep = 8;
  int gridStep = 1;
};

// `measuredX`: the run's fastest zone, for a record without its drive.
GraphScale graphScaleFor(const AppSettings& settings, const MediumResults& media,
                         std::optional<double> measuredX = std::nullopt);

}  // namespace tmx
