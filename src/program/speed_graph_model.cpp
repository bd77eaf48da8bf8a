#include "program/speed_graph_model.h"

#include "results/run_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tmx {
namespace {

constexpr int kPlotWidth = kGraphRight - kGraphLeft + 1;   // 401
constexpr int kPlotHeight = kGraphBottom - kGraphTop + 1;  // 251
constexpr int kZoneStep = 10;                              // pixels between zone lines
constexpr int kSectorsPerBlock = 900;                      // one pixel column in quality mode

constexpr uint32_t kMajorColour = 0x00FF4040;  // outline and labelled grid lines
constexpr uint32_t kMinorColour = 0x00A00000;  // other grid lines and ticks
constexpr uint32_t kEndMarkerColour = 0x000000FF;
constexpr uint32_t kQualityBarColour = 0x0000FFFF;
constexpr uint32_t kBlack = 0x00000000;

constexpr int kBannerWidth = 181;
constexpr int kBannerHeight = 38;

GraphShape line(int x1, int y1, int x2, int y2, uint32_t colour) {
  return GraphShape{GraphShape::Kind::Line, x1, y1, x2, y2, colour, 0, {}};
}

GraphShape rect(int x1, int y1, int x2, int y2, uint32_t outline, uint32_t fill) {
  return GraphShape{GraphShape::Kind::FilledRect, x1, y1, x2, y2, outline, fill, {}};
}

GraphShape text(int x, int y, const char* format, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return GraphShape{GraphShape::Kind::Text, x, y, 0, 0, kButtonTextColour, 0, buffer};
}

// A height above the bottom lands inside the plot. NaN and infinities do not,
// so the truncation to pixels that follows is always defined.
bool inPlot(double height) {
  const double y = kGraphBottom - height;
  return y >= kGraphTop && y <= kGraphBottom;
}

int pixelY(double height) { return static_cast<int>(kGraphBottom - height); }

}  // namespace

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

  if (!qualityMode_) {
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
  const int yMax = qualityMode_ ? 100 : std::clamp(settings_.graphMaxSpeed, 10, 100);
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
  const int column = lba / kSectorsPerBlock;
  if (column >= kPlotWidth) return;
  shapes_.push_back(line(kGraphLeft + column, kGraphTop, kGraphLeft + column, kGraphBottom, kEndMarkerColour));
}

void SpeedGraphModel::plotZoneSample(int zone, double sample) {
  if (zone < 0) return;
  const double scale = 50.0 / std::clamp(settings_.graphMaxSpeed, 10, 100);
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
