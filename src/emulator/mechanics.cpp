#include "emulator/mechanics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tmx::emu {

double radiusAtLba(int32_t lba) { return cdGeometry().radiusAt(lba); }

double Mechanics::speedStepForRequest(uint32_t requestKBps) const {
  if (requestKBps >= 0xFFFF) return profile_->maxSpeedX;
  return speedStepForX(requestKBps / geometry_.kbpsPerX);
}

double Mechanics::speedStepForX(double wanted) const {
  const double maxX = profile_->maxSpeedX;
  if (wanted >= maxX) return maxX;
  double chosen = 0;
  for (int step : profile_->speedSteps) {
    if (step <= wanted && step < maxX) chosen = std::max(chosen, double(step));
  }
  if (chosen > 0) return chosen;
  double slowest = maxX;
  for (int step : profile_->speedSteps) slowest = std::min(slowest, double(step));
  return slowest;
}

double Mechanics::curveX(int32_t lba) const {
  const DriveProfile& p = *profile_;
  const double atRim = geometry_.radiusAt(lba) / geometry_.rimRadiusM;
  switch (p.rotation) {
    case Rotation::Clv:
      return p.maxSpeedX;
    case Rotation::Cav:
      return p.maxSpeedX * atRim;
    case Rotation::Pcav:
      return std::min(p.maxSpeedX, std::max(p.pcavRimSpeedX, p.maxSpeedX) * atRim);
    case Rotation::Zclv: {
      double x = p.zones.empty() ? p.maxSpeedX : p.zones.front().speedX;
      const int32_t radial = geometry_.radialLba(lba);
      for (const SpeedZone& z : p.zones) {
        if (radial >= z.fromLba) x = z.speedX;
      }
      return x;
    }
  }
  return p.maxSpeedX;
}

double Mechanics::speedXAt(int32_t lba, double limitX) const { return std::min(limitX, curveX(lba)); }

double Mechanics::rpmAt(int32_t lba, double limitX) const {
  const double v = speedXAt(lba, limitX) * geometry_.linearVelocity1x;
  return v / (2 * std::numbers::pi * geometry_.radiusAt(lba)) * 60.0;
}

int64_t Mechanics::readNs(int32_t lba, int32_t count, double limitX) const {
  if (count <= 0) return 0;
  const double x = speedXAt(lba + count / 2, limitX);
  return static_cast<int64_t>(count * 1e9 / (geometry_.sectorsPerSecond1x * x));
}

int64_t Mechanics::seekNs(int32_t from, int32_t to, double limitX) const {
  if (from == to) return 0;
  const DriveProfile& p = *profile_;
  const DiscGeometry& g = geometry_;
  const double fraction = std::abs(g.radiusAt(from) - g.radiusAt(to)) / (g.rimRadiusM - g.innerRadiusM);
  double armMs = p.seekSettleMs + p.seekStrokeMs * std::sqrt(std::min(1.0, fraction));
  if (g.layerOf(from) != g.layerOf(to)) armMs += p.layerJumpMs;
  const double spindleMs = std::abs(rpmAt(from, limitX) - rpmAt(to, limitX)) / p.spindleAccelRpmPerS * 1000.0;
  return static_cast<int64_t>((armMs + spindleMs) * 1e6);
}

int64_t Mechanics::revolutionNs(int32_t lba, double limitX) const {
  return static_cast<int64_t>(60e9 / rpmAt(lba, limitX));
}

int64_t Mechanics::spinUpNs(int32_t lba, double limitX) const {
  const DriveProfile& p = *profile_;
  return static_cast<int64_t>((p.spinUpBaseMs + rpmAt(lba, limitX) / p.spinUpAccelRpmPerS * 1000.0) * 1e6);
}

int64_t Mechanics::spinDownNs(int32_t lba, double limitX) const {
  return static_cast<int64_t>(rpmAt(lba, limitX) / profile_->spinDownRpmPerS * 1e9);
}

int64_t Mechanics::transferNs(int64_t bytes) const {
  return profile_->commandOverheadNs +
         static_cast<int64_t>(static_cast<double>(bytes) * 1e9 / profile_->interfaceBytesPerSecond);
}

}  // namespace tmx::emu
