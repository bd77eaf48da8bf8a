#include "program/compare_graph.h"

#include <algorithm>
#include <cmath>

#include "program/graph_shapes.h"
#include "results/format_string.h"

namespace tmx {

using namespace graph;

namespace {

constexpr int kLegendRow = 15;
constexpr double kCdSectorsPerMinute = 75.0 * 60.0;
constexpr double kCdAxisMinutes = 80;

// Bright on the black plot and apart from each other.
constexpr uint32_t kColours[kMaxComparedRuns] = {0x0000FFFF, 0x00FFFF00, 0x00FF40FF, 0x0000FF00,
                                                 0x000080FF, 0x00FFFFFF, 0x00FF8040, 0x008080FF};

double gigabytesOf(int64_t lba) { return static_cast<double>(lba) * 2048.0 / 1e9; }

struct Scale {
  double max;
  double labelStep;
  double gridStep;
};

// At most eight labelled steps up the speed axis.
Scale speedScale(double fastestX) {
  for (double step : {1.0, 2.0, 4.0, 8.0, 16.0, 32.0}) {
    const double steps = std::ceil(std::max(fastestX, 1.0) / step - 1e-9);
    if (steps <= 8) return {steps * step, step, step};
  }
  return {std::ceil(fastestX / 64) * 64, 64, 64};
}

Scale positionScale(const std::vector<CompareCurve>& curves, bool minutes) {
  double end = minutes ? kCdAxisMinutes : 0;
  for (const CompareCurve& c : curves) {
    if (!minutes) {
      end = std::max(
          end, c.medium == MediumKind::CD ? gigabytesOf(kCdAxisMinutes * kCdSectorsPerMinute) : c.nominalGigabytes);
    }
    if (!c.zones.empty()) end = std::max(end, axisPosition(c, c.zones.back().startLba, minutes));
  }
  if (minutes) return {std::ceil(end / 10) * 10, 10, 2};
  if (end <= 1) return {std::ceil(end * 10) / 10, 0.1, 0.05};
  if (end <= 10) return {std::ceil(end), 1, 0.5};
  if (end <= 25) return {std::ceil(end / 5) * 5, 5, 1};
  return {std::ceil(end / 10) * 10, 10, 2};
}

bool onStep(double value, double step) { return std::fabs(std::remainder(value, step)) < step * 1e-6; }

class Canvas {
 public:
  explicit Canvas(CompareGraph& graph) : g_(graph), a_(graph.axes) {}
  int column(double position) const {
    return a_.left + static_cast<int>(std::lround(std::min(position, a_.xMax) / a_.xMax * (a_.right - a_.left)));
  }
  int row(double speedX) const {
    return a_.bottom - static_cast<int>(std::lround(speedX / a_.yMaxX * (a_.bottom - a_.top)));
  }
  void frame(const Scale& x, const Scale& y);
  void curve(const CompareCurve& c, uint32_t colour);
  void legend(const std::vector<CompareCurve>& curves, int top);

 private:
  void add(GraphShape s) { g_.shapes.push_back(std::move(s)); }
  CompareGraph& g_;
  const CompareAxes& a_;
};

GraphShape label(int x, int y, std::string text, bool left = false) {
  return GraphShape{GraphShape::Kind::Text, x, y, 0, 0, kButtonTextColour, 0, std::move(text), left};
}

void Canvas::frame(const Scale& x, const Scale& y) {
  add(rect(a_.left, a_.top, a_.right + 1, a_.bottom + 1, kMajorColour, kBlack));
  for (double v = y.gridStep; v < y.max - 1e-9; v += y.gridStep) {
    add(line(a_.left + 1, row(v), a_.right, row(v), kMinorColour));
  }
  for (double v = 0; v <= y.max + 1e-9; v += y.labelStep) {
    add(line(a_.left - 3, row(v), a_.left, row(v), kMajorColour));
    add(label(a_.left - 22, row(v) - 7, formatString("%gX", v)));
  }
  for (int k = 1; k * x.gridStep < x.max - 1e-9; ++k) {
    const double v = k * x.gridStep;
    add(line(column(v), a_.top + 1, column(v), a_.bottom, onStep(v, x.labelStep) ? kMajorColour : kMinorColour));
  }
  for (int k = 0; k * x.labelStep <= x.max + 1e-9; ++k) {
    const double v = k * x.labelStep;
    add(line(column(v), a_.bottom + 1, column(v), a_.bottom + 4, kMajorColour));
    add(label(column(v), a_.bottom + 6, formatString("%g", v)));
  }
  add(label(a_.right, a_.bottom + 20, a_.minutes ? "minutes" : "GB"));
  if (a_.mixedMedia) {
    add(label(a_.left, a_.top - 18, "Different media compared: position in GB, speeds in X of each run's own medium",
              true));
  }
}

void Canvas::curve(const CompareCurve& c, uint32_t colour) {
  for (size_t k = 1; k < c.zones.size(); ++k) {
    const ZoneSpeed& a = c.zones[k - 1];
    const ZoneSpeed& b = c.zones[k];
    if (!std::isfinite(a.speedX) || !std::isfinite(b.speedX)) continue;
    add(line(column(axisPosition(c, a.startLba, a_.minutes)), row(a.speedX),
             column(axisPosition(c, b.startLba, a_.minutes)), row(b.speedX), colour));
  }
}

void Canvas::legend(const std::vector<CompareCurve>& curves, int top) {
  for (size_t i = 0; i < curves.size(); ++i) {
    const int y = top + static_cast<int>(i) * kLegendRow;
    const uint32_t colour = compareColour(static_cast<int>(i));
    add(rect(a_.left, y + 2, a_.left + 16, y + 12, kBlack, colour));
    add(label(a_.left + 22, y, curves[i].label, true));
  }
}

}  // namespace

uint32_t compareColour(int index) { return kColours[static_cast<size_t>(std::clamp(index, 0, kMaxComparedRuns - 1))]; }

double axisPosition(const CompareCurve& curve, int64_t lba, bool minutes) {
  if (minutes && curve.medium == MediumKind::CD) return static_cast<double>(lba) / kCdSectorsPerMinute;
  return gigabytesOf(lba);
}

CompareGraph compareGraph(const std::vector<CompareCurve>& all, int width, int height) {
  const std::vector<CompareCurve> curves(all.begin(), all.begin() + std::min<size_t>(all.size(), kMaxComparedRuns));
  width = std::max(width, 320);
  height = std::max(height, 240);
  CompareGraph graph;
  CompareAxes& a = graph.axes;
  a.mixedMedia =
      std::any_of(curves.begin(), curves.end(), [&](const CompareCurve& c) { return c.medium != curves[0].medium; });
  a.minutes = !a.mixedMedia && (curves.empty() || curves[0].medium == MediumKind::CD);
  const int legendHeight = static_cast<int>(curves.size()) * kLegendRow + 6;
  a.left = 48;
  a.top = 28;
  a.right = width - 24;
  a.bottom = std::max(a.top + 100, height - legendHeight - 36);
  double fastest = 0;
  for (const CompareCurve& c : curves) {
    for (const ZoneSpeed& z : c.zones) {
      if (std::isfinite(z.speedX)) fastest = std::max(fastest, z.speedX);
    }
  }
  const Scale y = speedScale(fastest);
  const Scale x = positionScale(curves, a.minutes);
  a.xMax = x.max;
  a.yMaxX = y.max;
  Canvas canvas(graph);
  canvas.frame(x, y);
  for (size_t i = 0; i < curves.size(); ++i) canvas.curve(curves[i], compareColour(static_cast<int>(i)));
  canvas.legend(curves, a.bottom + 36);
  return graph;
}

std::optional<CompareReadout> compareReadout(const CompareGraph& graph, const std::vector<CompareCurve>& curves,
                                             int x) {
  const CompareAxes& a = graph.axes;
  if (x < a.left || x > a.right || a.right <= a.left) return std::nullopt;
  const double position = static_cast<double>(x - a.left) / (a.right - a.left) * a.xMax;
  CompareReadout readout;
  readout.position = a.minutes ? formatString("%.1f min", position) : formatString("%.2f GB", position);
  for (const CompareCurve& c : curves) {
    std::optional<double> speed;
    for (size_t k = 1; k < c.zones.size() && !speed; ++k) {
      const double p0 = axisPosition(c, c.zones[k - 1].startLba, a.minutes);
      const double p1 = axisPosition(c, c.zones[k].startLba, a.minutes);
      if (position < p0 || position > p1 || p1 <= p0) continue;
      const double t = (position - p0) / (p1 - p0);
      speed = c.zones[k - 1].speedX + t * (c.zones[k].speedX - c.zones[k - 1].speedX);
    }
    readout.speedsX.push_back(speed);
  }
  return readout;
}

}  // namespace tmx
