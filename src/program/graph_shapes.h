// Drawing primitives and colours the speed graph's parts share.
#pragma once

#include <cstdint>
#include <cstdio>

#include "program/speed_graph_model.h"

namespace tmx::graph {

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

inline GraphShape line(int x1, int y1, int x2, int y2, uint32_t colour) {
  return GraphShape{GraphShape::Kind::Line, x1, y1, x2, y2, colour, 0, {}};
}

inline GraphShape rect(int x1, int y1, int x2, int y2, uint32_t outline, uint32_t fill) {
  return GraphShape{GraphShape::Kind::FilledRect, x1, y1, x2, y2, outline, fill, {}};
}

inline GraphShape text(int x, int y, const char* format, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return GraphShape{GraphShape::Kind::Text, x, y, 0, 0, kButtonTextColour, 0, buffer};
}

// A height above the bottom lands inside the plot. NaN and infinities do not,
// so the truncation to pixels that follows is always defined.
inline bool inPlot(double height) {
  const double y = kGraphBottom - height;
  return y >= kGraphTop && y <= kGraphBottom;
}

inline int pixelY(double height) { return static_cast<int>(kGraphBottom - height); }


}  // namespace tmx::graph
