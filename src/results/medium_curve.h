// The reading type of a DVD's or BD's transfer curve, from the zones'
// speeds: "CLV" (flat), "CAV" (rising all the way), "P-CAV" (rising, then
// flat at a cap) or "Z-CLV" (flat steps with jumps, as DVD and BD writers
// read). A dual-layer disc is read per layer, each from its hub side (on an
// opposite-track-path disc layer 1 runs from the rim inwards, so its curve
// falls): "CAV" when both layers agree, else "L0 Z-CLV, L1 CAV".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drive/medium.h"
#include "results/medium_results.h"

namespace tmx {

// Speeds in the order of increasing radius; nullopt below three zones and
// for a curve that falls by more than 5% from one zone to the next.
std::optional<std::string> curveType(const std::vector<double>& speeds);

// The largest fall between two zones read from the hub outwards, as a
// fraction, where it is large enough to leave the curve without a reading
// type; nullopt where the curve has none that large.
std::optional<double> unclassifiedFall(const std::vector<ZoneSpeed>& zones, const Medium& medium);

std::optional<std::string> mediumReadingType(const std::vector<ZoneSpeed>& zones, const Medium& medium);

}  // namespace tmx
