#include "emulator/ground_truth.h"

#include <algorithm>

namespace tmx::emu {

std::string_view GroundTruth::rotationName() const {
  switch (rotation()) {
    case Rotation::Clv: return "CLV";
    case Rotation::Cav: return "CAV";
    case Rotation::Pcav: return "P-CAV";
    case Rotation::Zclv: return "Z-CLV";
  }
  return "";
}

int32_t GroundTruth::capacity() const { return drive_->disc() ? drive_->disc()->capacity() : 0; }

DiscFamily GroundTruth::family() const { return drive_->disc() ? drive_->disc()->family() : DiscFamily::Cd; }
int GroundTruth::layers() const { return drive_->disc() ? drive_->disc()->layers() : 1; }
int32_t GroundTruth::layerBreak() const { return drive_->disc() ? drive_->disc()->layerBreak() : 0; }
bool GroundTruth::oppositeTrackPath() const { return layers() > 1 && drive_->mechanics().geometry().oppositeTrackPath; }

double GroundTruth::fastestSpeedX() const {
  const int32_t last = capacity() - 1;
  if (last < 0) return 0;
  double fastest = std::max(speedXAt(0), speedXAt(last));
  if (layerBreak() > 0 && layerBreak() <= last) fastest = std::max(fastest, speedXAt(layerBreak() - 1));
  return fastest;
}

double GroundTruth::speedXAt(int32_t lba) const { return drive_->mechanics().speedXAt(lba, drive_->speedLimitX()); }

double GroundTruth::rpmAt(int32_t lba) const { return drive_->mechanics().rpmAt(lba, drive_->speedLimitX()); }

double GroundTruth::averageSpeedX(int32_t first, int32_t count) const {
  int64_t ns = 0;
  for (int32_t at = first; at < first + count; at += 25) {
    ns += drive_->mechanics().readNs(at, std::min(25, first + count - at), drive_->speedLimitX());
  }
  return ns > 0 ? count / (static_cast<double>(ns) / 1e9) / sectorsPerSecond1x() : 0.0;
}

double GroundTruth::seekMs(int32_t from, int32_t to) const {
  const Mechanics& m = drive_->mechanics();
  const double limit = drive_->speedLimitX();
  if (from == to) return static_cast<double>(drive_->profile().commandOverheadNs) / 1e6;
  const int64_t ns = m.seekNs(from, to, limit) + m.revolutionNs(to, limit) / 2 + drive_->profile().commandOverheadNs;
  return static_cast<double>(ns) / 1e6;
}

double GroundTruth::averageSeekMs(int32_t start, const std::vector<int32_t>& targets) const {
  if (targets.empty()) return 0;
  double total = 0;
  int32_t at = start;
  for (int32_t t : targets) {
    total += seekMs(at, t);
    at = t;
  }
  return total / static_cast<double>(targets.size());
}

double GroundTruth::spinUpMs(int32_t lba) const {
  return static_cast<double>(drive_->mechanics().spinUpNs(lba, drive_->speedLimitX())) / 1e6;
}

double GroundTruth::spinDownMs(int32_t lba) const {
  return static_cast<double>(drive_->mechanics().spinDownNs(lba, drive_->speedLimitX()) +
                             drive_->profile().commandOverheadNs) / 1e6;
}

double GroundTruth::cachedReadMs(int32_t sectors, int32_t bytesPerSector) const {
  return static_cast<double>(drive_->mechanics().transferNs(int64_t{sectors} * bytesPerSector)) / 1e6;
}

double GroundTruth::burstKBps(int32_t sectors, int32_t bytesPerSector) const {
  return sectors * 2.0 / (cachedReadMs(sectors, bytesPerSector) / 1000.0);
}

bool GroundTruth::exactAudio() const {
  return drive_->profile().accurateStream || drive_->profile().audioJitterFrames == 0;
}

int32_t GroundTruth::damagedSectors() const { return drive_->disc() ? drive_->disc()->damagedSectorCount() : 0; }

}  // namespace tmx::emu
