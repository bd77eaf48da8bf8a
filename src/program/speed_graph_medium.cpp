// The speed graph of a DVD or BD: the disc position in GB up to the medium's
// nominal size, speeds in the medium's X, a marker at the disc's end and one
// at the layer break; a read scan's map as bars by read latency.
#include <algorithm>
#include <cmath>

#include "program/graph_scale.h"
#include "program/graph_shapes.h"

namespace tmx {

using namespace graph;

namespace {

constexpr uint32_t kLayerBreakColour = 0x00FFFF00;  // cyan
constexpr uint32_t kUnreadableColour = 0x000000FF;  // red

// Labels every 1, 5 or 10 GB by the axis's length; grid lines between.
struct GbAxis {
  double labelGb;
  double gridGb;
};
GbAxis gbAxisFor(double nominalGb) {
  if (nominalGb <= 10) return {1, 0.5};
  if (nominalGb <= 25) return {5, 1};
  return {10, 2};
}

// A bucket's bar height: one seventh of the plot per bucket, the whole plot
// for an unreadable block.
int bucketHeight(int bucket) { return (std::clamp(bucket, 0, kLatencyBucketCount) + 1) * kPlotHeight / (kLatencyBucketCount + 1); }

}  // namespace

int SpeedGraphModel::mediumColumn(int64_t lba) const {
  const double nominal = record_.media.medium.nominalGigabytes();
  if (nominal <= 0 || lba < 0) return -1;
  const double gb = static_cast<double>(lba) * 2048.0 / 1e9;
  return static_cast<int>(gb / nominal * (kPlotWidth - 1));
}

void SpeedGraphModel::drawMediumFrame() {
  const GraphScale yScale = scale();
  shapes_.push_back(rect(3, kGraphTop - 8, kGraphRight + 22, kGraphBottom + 22, kButtonFaceColour, kButtonFaceColour));
  shapes_.push_back(rect(kGraphLeft, kGraphTop, kGraphRight + 1, kGraphBottom + 1, kMajorColour, kBlack));
  if (qualityMode_) {
    static constexpr int kBoundsMs[] = {3, 10, 50, 150, 500};
    for (int b = 0; b < 5; ++b) {
      const int y = kGraphBottom - bucketHeight(b);
      shapes_.push_back(text(kGraphLeft - 23, y - 8, "%3d", kBoundsMs[b]));
      shapes_.push_back(line(kGraphLeft - 3, y, kGraphRight, y, kMinorColour));
    }
  } else {
    for (int g = 0; g <= yScale.fullScale; g += yScale.gridStep) {
      const int y = kGraphBottom - g * kPlotHeight / yScale.fullScale;
      const bool labelled = g % yScale.labelStep == 0;
      if (labelled) shapes_.push_back(text(kGraphLeft - 23, y - 8, "%2dX", g));
      shapes_.push_back(line(kGraphLeft - 3, y, kGraphRight, y, labelled ? kMajorColour : kMinorColour));
    }
  }
  const double nominal = record_.media.medium.nominalGigabytes();
  const GbAxis axis = gbAxisFor(nominal);
  for (int step = 0; step * axis.gridGb <= nominal + 1e-9; ++step) {
    const double gb = step * axis.gridGb;
    const int x = kGraphLeft + static_cast<int>(gb / nominal * (kPlotWidth - 1));
    const bool labelled = std::fabs(std::remainder(gb, axis.labelGb)) < 1e-9;
    if (labelled) shapes_.push_back(text(x + 1, kGraphBottom + 6, "%2d", static_cast<int>(std::lround(gb))));
    shapes_.push_back(line(x, kGraphTop, x, kGraphBottom + 3, labelled ? kMajorColour : kMinorColour));
  }
}

// A disc a little larger than its nominal size (8.55 GB of an 8.5 GB DVD+R
// DL) ends at the axis's end.
void SpeedGraphModel::drawMediumMarker(int64_t lba, uint32_t colour) {
  const int column = std::min(mediumColumn(lba), kPlotWidth - 1);
  if (column < 0) return;
  shapes_.push_back(line(kGraphLeft + column, kGraphTop, kGraphLeft + column, kGraphBottom, colour));
}

void SpeedGraphModel::replayMedium() {
  const MediumResults& media = record_.media;
  if (media.medium.capacitySectors > 0) drawMediumMarker(media.medium.capacitySectors, kEndMarkerColour);
  if (media.medium.layerBreakLba) drawMediumMarker(*media.medium.layerBreakLba, kLayerBreakColour);
  lastMediumZone_.reset();
  if (!qualityMode_) {
    for (const ZoneSpeed& zone : media.zones) plotMediumZone(zone);
    return;
  }
  for (int cell = 0; cell < kScanMapCells; ++cell) {
    if (media.scan.map[static_cast<size_t>(cell)] >= 0) markScanCell(cell, media.scan.map[static_cast<size_t>(cell)]);
  }
}

void SpeedGraphModel::plotMediumZone(const ZoneSpeed& zone) {
  const int fullScale = scale().fullScale;
  const auto height = [&](double speedX) { return speedX * kPlotHeight / fullScale; };
  const int column = mediumColumn(zone.startLba);
  if (lastMediumZone_ && column >= 0 && column < kPlotWidth) {
    const int previous = mediumColumn(lastMediumZone_->startLba);
    const double h1 = height(lastMediumZone_->speedX), h2 = height(zone.speedX);
    if (inPlot(h1) && inPlot(h2)) {
      shapes_.push_back(line(kGraphLeft + previous, pixelY(h1), kGraphLeft + column, pixelY(h2), settings_.transferRateColor));
    }
  }
  lastMediumZone_ = zone;
}

// A cell whose reads all came under 3 ms shows nothing, as a clean block of
// a CD's map does.
void SpeedGraphModel::markScanCell(int cell, int bucket) {
  if (cell < 0 || cell >= kScanMapCells || bucket <= 0) return;
  const int64_t capacity = record_.media.medium.capacitySectors;
  const int column = mediumColumn(capacity * cell / kScanMapCells);
  if (column < 0 || column >= kPlotWidth) return;
  const uint32_t colour = bucket >= kLatencyBucketCount ? kUnreadableColour : kQualityBarColour;
  const int x = kGraphLeft + column;
  shapes_.push_back(line(x, kGraphBottom, x, kGraphBottom - bucketHeight(bucket), colour));
}

}  // namespace tmx
