// The comparison's graph: the speed curves of 2 to 8 runs overlaid in one
// plot, a colour per run and a legend, as a list of shapes for a canvas of
// any size (the window paints it, the CLI writes it as SVG). The x axis is
// the disc position in the runs' medium units as the speed graph has it:
// minutes for CDs, GB for DVDs and BDs; runs of different media share a GB
// axis and the graph says so. Speeds are in X of each run's own medium.
//
//   const CompareGraph graph = compareGraph(curvesOf(runs), 800, 500);
//   svg = shapesSvg(graph.shapes, 800, 500);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "program/speed_graph_model.h"
#include "results/medium_results.h"

namespace tmx {

inline constexpr int kMaxComparedRuns = 8;

// The colour of the curve of run `index` (0..7), a word 0x00BBGGRR.
uint32_t compareColour(int index);

struct CompareCurve {
  std::string label;              // the legend's text
  MediumKind medium = MediumKind::CD;
  double nominalGigabytes = 0;    // the axis length of a DVD or BD
  std::vector<ZoneSpeed> zones;   // the measured zones, from LBA 0 on
};

// The plot's frame and scales, for mapping a pointer back to the disc.
struct CompareAxes {
  int left = 0, top = 0, right = 0, bottom = 0;  // the plot, inclusive
  bool minutes = true;    // the x axis in CD minutes; false: in GB
  double xMax = 80;       // minutes or GB at the right edge
  double yMaxX = 8;       // X at the top
  bool mixedMedia = false;
};

struct CompareGraph {
  std::vector<GraphShape> shapes;
  CompareAxes axes;
};

// The graph of `curves` (at most kMaxComparedRuns are drawn) on a canvas of
// width x height pixels, with at least 320 x 240 drawn.
CompareGraph compareGraph(const std::vector<CompareCurve>& curves, int width, int height);

// Under the pointer at canvas column `x`: the position ("34.2 min",
// "3.10 GB") and each curve's speed there, interpolated between its zones
// (nullopt beyond its ends). nullopt when x lies outside the plot.
struct CompareReadout {
  std::string position;
  std::vector<std::optional<double>> speedsX;
};
std::optional<CompareReadout> compareReadout(const CompareGraph& graph, const std::vector<CompareCurve>& curves,
                                             int x);

// Where a zone lies on the axis: minutes for a CD on a minutes axis, GB otherwise.
double axisPosition(const CompareCurve& curve, int64_t lba, bool minutes);

}  // namespace tmx
