// The geometry of a disc's medium: where each sector lies and how fast the
// medium runs at 1X. Playing time t (LBA over the 1X sector rate) lies at
// radius sqrt(r0^2 + v p t / pi) on its layer.
//
//   CD   25 mm on, 1.6 um pitch, 1.2 m/s, 75 sectors/s
//   DVD  24 to 58 mm, 0.74 um pitch, 3.49 m/s (3.84 m/s dual layer), 1,385,000 bytes/s
//   BD   24 to 58 mm, 0.32 um pitch, 4.917 m/s, 4,495,500 bytes/s
//
// On a dual-layer disc with an opposite track path, layer 1 runs from the
// rim inwards: its sector at LBA b + k lies where layer 0's sector b - 1 - k
// lies. With a parallel track path both layers run outwards from the hub.
// Rated CAV and P-CAV speeds refer to the rim.
#pragma once

#include <cstdint>

namespace tmx::emu {

struct DiscGeometry {
  double innerRadiusM = 0.025;
  double rimRadiusM = 0.058;
  double trackPitchM = 1.6e-6;
  double linearVelocity1x = 1.2;     // m/s
  double sectorsPerSecond1x = 75.0;  // 2048-byte user sectors at 1X
  // One X in the KB/s that SET CD SPEED, SET STREAMING and page 2Ah count:
  // 176 for CD (raw sectors), 1385 for DVD, 4495.5 for BD.
  double kbpsPerX = 176.0;
  // Bytes the read-ahead buffer holds per sector.
  uint32_t bufferedSectorBytes = 2352;
  int32_t layerBreak = 0;  // first LBA of layer 1; 0 for one layer
  bool oppositeTrackPath = true;

  int layerOf(int32_t lba) const { return layerBreak > 0 && lba >= layerBreak ? 1 : 0; }
  // The LBA of layer 0 that lies at the same radius.
  int32_t radialLba(int32_t lba) const;
  double radiusAt(int32_t lba) const;
};

DiscGeometry cdGeometry();
// `layerBreak` 0 for one layer.
DiscGeometry dvdGeometry(int32_t layerBreak, bool oppositeTrackPath);
DiscGeometry bdGeometry(int32_t layerBreak);

}  // namespace tmx::emu
