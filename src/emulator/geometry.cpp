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

namespace {

// DVD and BD: data from 24 to 58 mm in 2048-byte sectors.
DiscGeometry mmcGeometry(double pitchM, double velocity, double bytesPerSecond, int32_t layerBreak, bool otp) {
  DiscGeometry g;
  g.innerRadiusM = 0.024;
  g.rimRadiusM = 0.058;
  g.trackPitchM = pitchM;
  g.linearVelocity1x = velocity;
  g.sectorsPerSecond1x = bytesPerSecond / 2048.0;
  g.kbpsPerX = bytesPerSecond / 1000.0;
  g.bufferedSectorBytes = 2048;
  g.layerBreak = layerBreak;
  g.oppositeTrackPath = otp;
  return g;
}

}  // namespace

DiscGeometry dvdGeometry(int32_t layerBreak, bool oppositeTrackPath) {
  // Dual-layer discs pack less tightly, so a layer holds about 8% less.
  return mmcGeometry(0.74e-6, layerBreak > 0 ? 3.84 : 3.49, 1'385'000.0, layerBreak, oppositeTrackPath);
}

DiscGeometry bdGeometry(int32_t layerBreak) { return mmcGeometry(0.32e-6, 4.917, 4'495'500.0, layerBreak, true); }

}  // namespace tmx::emu
