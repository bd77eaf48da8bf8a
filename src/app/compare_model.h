// What the Compare window shows, without widgets: 2 to 8 runs, their
// figures side by side with the differences to the first, the overlaid
// curves for the canvas's current size, the readout under the pointer and
// the picture as SVG for an export.
//
//   CompareModel model(runs);
//   paint(model.graph(width, height).shapes);
//   label = model.readoutText(pointerX);
#pragma once

#include <string>
#include <vector>

#include "program/compare_graph.h"
#include "program/compare_table.h"

namespace tmx {

class CompareModel {
 public:
  // Runs past the eighth are left out.
  explicit CompareModel(std::vector<ComparedRun> runs);

  const std::vector<ComparedRun>& runs() const { return runs_; }
  const CompareTable& table() const { return table_; }
  // "Compare 3 runs"
  std::string title() const;

  // The graph for a canvas of that size, drawn again only when the size changed.
  const CompareGraph& graph(int width, int height);
  // "34.2 min  #1 28.40 X  #2 27.10 X  #3 -" at column x of the last graph
  // drawn; empty outside its plot.
  std::string readoutText(int x) const;
  // The picture of that size as an SVG document.
  std::string svg(int width, int height) const;

 private:
  std::vector<ComparedRun> runs_;
  std::vector<CompareCurve> curves_;
  CompareTable table_;
  CompareGraph graph_;
  int width_ = -1, height_ = -1;
};

}  // namespace tmx
