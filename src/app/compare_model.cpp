#include "app/compare_model.h"

#include <algorithm>

#include "program/graph_svg.h"
#include "results/format_string.h"

namespace tmx {

CompareModel::CompareModel(std::vector<ComparedRun> runs) : runs_(std::move(runs)) {
  if (runs_.size() > static_cast<size_t>(kMaxComparedRuns)) runs_.resize(kMaxComparedRuns);
  curves_ = compareCurvesOf(runs_);
  table_ = compareTable(runs_);
}

std::string CompareModel::title() const { return "Compare " + std::to_string(runs_.size()) + " runs"; }

const CompareGraph& CompareModel::graph(int width, int height) {
  if (width != width_ || height != height_) {
    graph_ = compareGraph(curves_, width, height);
    width_ = width;
    height_ = height;
  }
  return graph_;
}

std::string CompareModel::readoutText(int x) const {
  if (width_ < 0) return {};
  const auto readout = compareReadout(graph_, curves_, x);
  if (!readout) return {};
  std::string text = readout->position;
  for (size_t i = 0; i < runs_.size(); ++i) {
    const auto& speed = readout->speedsX[i];
    text += "   " + runs_[i].heading + " " + (speed ? formatString("%.2f X", *speed) : std::string("-"));
  }
  return text;
}

std::string CompareModel::svg(int width, int height) const {
  width = std::max(width, 320);  // the smallest canvas the graph draws
  height = std::max(height, 240);
  return shapesSvg(compareGraph(curves_, width, height).shapes, width, height);
}

}  // namespace tmx
