#include "emulator/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tmx::emu {

int32_t DiscGeometry::radialLba(int32_t lba) const {
  if (layerOf(lba) == 0) return lba;
  const int32_t intoLayer = lba - layerBreak;
  return oppositeTrackPath ? std::max(0, layerBreak - 1 - intoLayer) : intoLayer;
}

double DiscGeometry::radiusAt(int32_t lba) const {
  const double t = std::max(0, radialLba(lba)) / sectorsPerSecond1x;
  return std::sqrt(innerRadiusM * innerRadiusM + linearVelocity1x * trackPitchM * t / std::numbers::pi);
}

DiscGeometry cdGeometry() { return DiscGeometry{}; }

DiscGeometry dvdGeometry(int32_t layerBreak, bool oppositeTrackPath) {
  DiscGeometry g;
  g.innerRadiusM = 0.024;
  g.rimRadiusM = 0.058;
  g.trackPitchM = 0.74e-6;
  // Dual-layer discs pack less tightly, so a layer holds about 8% less.
  g.linearVelocity1x = layerBreak > 0 ? 3.84 : 3.49;
  g.sectorsPerSecond1x = 1'385'000.0 / 2048.0;
  g.kbpsPerX = 1385.0;
  g.bufferedSectorBytes = 2048;
  g.layerBreak = layerBreak;
  g.oppositeTrackPath = oppositeTrackPath;
  return g;
}

DiscGeometry bdGeometry(int32_t layerBreak) {
  DiscGeometry g;
  g.innerRadiusM = 0.024;
  g.rimRadiusM = 0.058;
  g.trackPitchM = 0.32e-6;
  g.linearVelocity1x = 4.917;
  g.sectorsPerSecond1x = 4'495'500.0 / 2048.0;
  g.kbpsPerX = 4495.5;
  g.bufferedSectorBytes = 2048;
  g.layerBreak = layerBreak;
  g.oppositeTrackPath = true;
  return g;
}

}  // namespace tmx::emu
