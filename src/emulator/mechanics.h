// Drive physics as pure functions of a profile, the disc's geometry and the
// speed the host selected: speed and spindle rate at any LBA, read, seek and
// spin times, in X of the disc's medium. The drive model times its commands
// with these and the ground truth reports them.
//
// CD geometry: the program area starts at 25 mm radius, the track pitch is
// 1.6 um and 1X is 1.2 m/s, so 74 minutes end at about 57.8 mm; rated CAV and
// P-CAV speeds refer to a 58 mm rim. DVD and BD: see geometry.h. Speeds
// depend on the radius, so on a dual-layer disc with an opposite track path a
// CAV curve rises over layer 0 and falls over layer 1, and Z-CLV zones (given
// as layer 0 LBAs) repeat in reverse.
#pragma once

#include <cstdint>

#include "emulator/drive_profile.h"
#include "emulator/geometry.h"

namespace tmx::emu {

inline constexpr double kInnerRadiusM = 0.025;
inline constexpr double kRimRadiusM = 0.058;
inline constexpr double kTrackPitchM = 1.6e-6;
inline constexpr double kLinearVelocity1x = 1.2;  // m/s

// CD radius.
double radiusAtLba(int32_t lba);

class Mechanics {
 public:
  explicit Mechanics(const DriveProfile& profile) : profile_(&profile) {}

  // The disc's geometry; a CD's until a disc says otherwise.
  void setGeometry(const DiscGeometry& geometry) { geometry_ = geometry; }
  const DiscGeometry& geometry() const { return geometry_; }

  // The supported step at or below `requestKBps` (FFFFh: the maximum), in
  // the medium's KB/s per X; a request below the slowest step selects the
  // slowest.
  double speedStepForRequest(uint32_t requestKBps) const;
  // The same for a speed in X.
  double speedStepForX(double wantedX) const;

  // Speed reading at `lba` with the host's limit `limitX`.
  double speedXAt(int32_t lba, double limitX) const;
  double rpmAt(int32_t lba, double limitX) const;
  // Time to read `count` sectors from the disc starting at lba.
  int64_t readNs(int32_t lba, int32_t count, double limitX) const;
  // Head movement, a focus jump between layers and spindle change between two
  // positions (0 when equal); rotational latency is added by the caller.
  int64_t seekNs(int32_t from, int32_t to, double limitX) const;
  // One revolution at lba, for rotational latency.
  int64_t revolutionNs(int32_t lba, double limitX) const;
  // From standstill to reading speed at lba, and from reading at lba to rest.
  int64_t spinUpNs(int32_t lba, double limitX) const;
  int64_t spinDownNs(int32_t lba, double limitX) const;
  // Host transfer of `bytes` out of the buffer, command overhead included.
  int64_t transferNs(int64_t bytes) const;

 private:
  double curveX(int32_t lba) const;
  const DriveProfile* profile_;
  DiscGeometry geometry_;
};

}  // namespace tmx::emu
