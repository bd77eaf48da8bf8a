#include "engine/medium_plan.h"

#include <algorithm>

#include "engine/seek_times.h"

namespace tmx {

MediumPlan mediumPlanFor(const Medium& medium) {
  MediumPlan plan;
  const bool bd = medium.kind == MediumKind::BD;
  plan.zoneSectors = bd ? 327'680 : 65'536;
  plan.blockSectors = bd ? 32 : 16;
  plan.zones = static_cast<int>(std::max<int64_t>(0, medium.capacitySectors / plan.zoneSectors));
  return plan;
}

int64_t timedSectorsPerZone(const MediumPlan& plan, int testLength) {
  const int64_t share = plan.zoneSectors / std::clamp(testLength, 1, 6);
  const int64_t blocks = std::max<int64_t>(1, share / plan.blockSectors);
  // The first block of a zone is read untimed (it carries the seek).
  return std::min(blocks, plan.zoneSectors / plan.blockSectors - 1) * plan.blockSectors;
}

int64_t mediumSeekTarget(const Medium& medium, int phase, int i) {
  const int64_t last = std::max<int64_t>(0, medium.capacitySectors - 1);
  // The strokes run over layer 0, hub to rim: on a dual-layer disc the last
  // LBA lies at the hub again (opposite track path) or over the first.
  const int64_t rim = medium.layerBreakLba && *medium.layerBreakLba > 0 ? *medium.layerBreakLba - 1 : last;
  switch (phase) {
    case 0: return seekTarget(0, i) * last / (kSeekMinimumSectors - 1);
    case 1: return i % 2 == 0 ? rim / 3 : 0;
    default: return i % 2 == 0 ? rim : 0;
  }
}

}  // namespace tmx
