#include "engine/measurement_table.h"

#include <algorithm>

namespace tmx {

bool anyMeasurementSelected(const AppSettings& settings) {
  return std::any_of(kMeasurements.begin(), kMeasurements.end(),
                     [&](const MeasurementInfo& m) { return settings.*m.selected; });
}

void selectMeasurements(AppSettings& settings, const std::vector<int>& ids) {
  for (const MeasurementInfo& m : kMeasurements) {
    settings.*m.selected = std::find(ids.begin(), ids.end(), m.id) != ids.end();
  }
}

}  // namespace tmx
