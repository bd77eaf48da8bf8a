#include "program/speed_graph_model.h"

#include "program/graph_scale.h"
#include "program/graph_shapes.h"
#include "results/run_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tmx {

using namespace graph;

GraphScale SpeedGraphModel::scale() const {
  std::optional<double> fastest;
  const auto consider = [&](double speedX) { fastest = std::max(fastest.value_or(0.0), speedX); };
  if (record_.media.medium.kind == MediumKind::CD) {
    for (const ZoneSpeed& zone : measuredZones(record_, kMaxLastZone + 1)) consider(zone.speedX);
  } else {
    for (const ZoneSpeed& zone : record_.media.zones) consider(zone.speedX);
  }
  return graphScaleFor(settings_, record_.media, fastest);
}

void SpeedGraphModel::setQualityMode(bool active, int32_t qualityLength) {
  qualityMode_ = active;
  qualityLength_ = qualityLength;
}

void SpeedGraphModel::redrawGraph() {
  shapes_.clear();
  shapes_.push_back(GraphShape{GraphShape::Kind::Banner, 10, 3, 10 + kBannerWidth, 3 + kBannerHeight, 0, 0, {}});
  // Etched separators across the window top.
  shapes_.push_back(line(0, 0, 639, 0, kBlack));
  shapes_.push_back(line(0, 42, 639, 42, kBlack));
  shapes_.push_back(line(0, 1, 639, 1, 0x00FFFFFF));
  shapes_.push_back(line(0, 43, 639, 43, 0x00FFFFFF));
  drawGraphFrame();

  if (record_.media.medium.kind != MediumKind::CD) {
    replayMedium();
  } else if (!qualityMode_) {
    const int zones = std::max(0, record_.discLength / kSectorsPerZone);
    if (zones > 0 && zones < kMaxLastZone) drawEndMarker((zones - 1) * kSectorsPerZone);
    // Zones right of the plot are never replayed, nor samples past the record.
    const int limit = std::min({zones, kMaxLastZone + 1, kSpeedSampleCount});
    const int measured = measuredZoneCount(record_, limit);
    for (int i = 0; i < measured; ++i) plotZoneSample(i, record_.speedSamples[static_cast<size_t>(i)]);
  } else {
    drawEndMarker(qualityLength_);
    const int blocks = std::max(0, qualityLength_ / kSectorsPerBlock);
    const int limit = std::min({blocks, kQualityBlockCount, kPlotWidth});
    for (int j = 0; j < limit; ++j) {
      const int32_t value = record_.qualityMap[static_cast<size_t>(j)];
      if (value < 0) break;
      markQualityBlock(j, value);
    }
  }
}

void SpeedGraphModel::drawGraphFrame() {
  if (record_.media.medium.kind != MediumKind::CD) {
    drawMediumFrame();
    return;
  }
  const int yMax = qualityMode_ ? 100 : scale().fullScale;
  const int labelStep = qualityMode_ ? 10 : 8;
  const int gridStep = qualityMode_ ? 5 : 1;
  const char* labelFormat = qualityMode_ ? "%2d%%" : "%2dX";

  shapes_.push_back(rect(3, kGraphTop - 8, kGraphRight + 22, kGraphBottom + 22, kButtonFaceColour, kButtonFaceColour));
  shapes_.push_back(rect(kGraphLeft, kGraphTop, kGraphRight + 1, kGraphBottom + 1, kMajorColour, kBlack));

  for (int g = 0; g <= yMax; ++g) {
    const int y = kGraphBottom - g * kPlotHeight / yMax;
    if (g % labelStep == 0) {
      shapes_.push_back(text(kGraphLeft - 23, y - 8, labelFormat, g));
      shapes_.push_back(line(kGraphLeft - 3, y, kGraphRight, y, kMajorColour));
    } else if (g % gridStep == 0) {
      shapes_.push_back(line(kGraphLeft - 3, y, kGraphRight, y, kMinorColour));
    }
  }

  for (int i = 0; i <= kMaxLastZone; ++i) {
    const int x = kGraphLeft + kZoneStep * i;
    const bool labelled = i % 5 == 0;
    if (labelled) shapes_.push_back(text(x + 1, kGraphBottom + 6, "%2d", 2 * i));
    shapes_.push_back(line(x, kGraphTop, x, kGraphBottom + 3, labelled ? kMajorColour : kMinorColour));
  }

  if (!qualityMode_ && settings_.showRpm) {
    // Label r sits where the RPM curve shows about r thousand revolutions.
    for (int r = 0; r <= yMax / 2; ++r) {
      const int y = kGraphBottom - 2 * r * kPlotHeight / yMax;
      const bool labelled = r % 5 == 0;
      if (labelled) shapes_.push_back(text(kGraphRight + 12, y - 8, "%d", r));
      shapes_.push_back(line(kGraphRight, y, kGraphRight + 3, y, labelled ? kMajorColour : kMinorColour));
    }
  }
}

void SpeedGraphModel::drawEndMarker(int lba) {
  if (lba < 0) return;
  if (record_.media.medium.kind != MediumKind::CD) {
    drawMediumMarker(lba, kEndMarkerColour);
    return;
  }
  const int column = lba / kSectorsPerBlock;
  if (column >= kPlotWidth) return;
  shapes_.push_back(line(kGraphLeft + column, kGraphTop, kGraphLeft + column, kGraphBottom, kEndMarkerColour));
}

void SpeedGraphModel::plotZoneSample(int zone, double sample) {
  if (zone < 0) return;
  const double scale = 50.0 / this->scale().fullScale;
  const double speedNow = sample * scale;
  const double speedPrev = lastPlottedSample_ * scale;
  const double rpmPrev = lastPlottedRpm_ * scale;
  // Diameter in millimetres where the zone begins (2 * zone minutes into the
  // disc); the RPM, divided by 100, at 1300 mm/s per X. The constants are the
  // ones the stored graphs were drawn with, 3.14156 included.
  const double diameter = std::sqrt((2.0 * zone + 16.88) / 0.00675415);
  const double rpmValue = (sample / 5) * 1300 / (diameter * 3.14156) * 0.6;
  const double rpmNow = (sample * scale / 5) * 1300 / (diameter * 3.14156) * 0.6;

  if (zone != 0 && zone <= kMaxLastZone) {
    const int x1 = kGraphLeft + kZoneStep * (zone - 1);
    const int x2 = kGraphLeft + kZoneStep * zone;
    if (settings_.showRpm && inPlot(rpmNow) && inPlot(rpmPrev)) {
      shapes_.push_back(line(x1, pixelY(rpmPrev), x2, pixelY(rpmNow), settings_.rpmColor));
    }
    if (inPlot(speedNow) && inPlot(speedPrev)) {
      shapes_.push_back(line(x1, pixelY(speedPrev), x2, pixelY(speedNow), settings_.transferRateColor));
    }
  }

  lastPlottedSample_ = sample;
  lastPlottedRpm_ = rpmValue;
}

void SpeedGraphModel::markQualityBlock(int block, double value) {
  if (block <= 0 || block >= kPlotWidth) return;
  if (!(value >= 1.0)) return;  // below one pixel (or NaN) draws nothing
  const int height = value >= kPlotHeight ? kPlotHeight : static_cast<int>(value);
  const int x = kGraphLeft + block;
  shapes_.push_back(line(x, kGraphBottom, x, kGraphBottom - height, kQualityBarColour));
}

}  // namespace tmx
