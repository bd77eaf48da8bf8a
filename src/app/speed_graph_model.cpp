#include "app/speed_graph_model.h"

namespace tmx {

void SpeedGraphModel::setQualityMode(bool active, int32_t qualityLength) {
  qualityMode_ = active;
  qualityLength_ = qualityLength;
}

void SpeedGraphModel::redrawGraph() { shapes_.clear(); }
void SpeedGraphModel::drawGraphFrame() {}
void SpeedGraphModel::drawEndMarker(int) {}
void SpeedGraphModel::plotZoneSample(int, double) {}
void SpeedGraphModel::markQualityBlock(int, double) {}

}  // namespace tmx
