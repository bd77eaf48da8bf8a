#include "emulator/read_ahead.h"

#include <algorithm>


namespace tmx::emu {

ReadAhead::ReadAhead(const DriveProfile& profile, const Mechanics& mechanics)
    : profile_(&profile), mechanics_(&mechanics) {}

int32_t ReadAhead::capacitySectors() const {
  return std::max<int32_t>(1, static_cast<int32_t>(profile_->bufferBytes / mechanics_->geometry().bufferedSectorBytes));
}

void ReadAhead::flush() { active_ = false; }

bool ReadAhead::buffered(int32_t lba) const {
  return active_ && lba >= std::max(keepFrom_, head_ - capacitySectors()) && lba < head_;
}

void ReadAhead::advance(int64_t nowNs, double limitX, int32_t discEnd) {
  if (!active_ || headNs_ >= nowNs) return;
  const int32_t room = std::min(capacitySectors() - (head_ - keepFrom_), discEnd - head_);
  if (room <= 0) {
    headNs_ = nowNs;  // full: idle until the host frees space
    return;
  }
  const double perSectorNs = 1e9 / (mechanics_->geometry().sectorsPerSecond1x * mechanics_->speedXAt(head_, limitX));
  const auto k = static_cast<int32_t>(std::min<double>(room, static_cast<double>(nowNs - headNs_) / perSectorNs));
  head_ += k;
  headNs_ += static_cast<int64_t>(k * perSectorNs);
  if (k == room) headNs_ = nowNs;
}

int64_t ReadAhead::positionNs(int32_t lba, int64_t nowNs, double limitX, std::mt19937_64& rng) {
  const int64_t seek = mechanics_->seekNs(head_, lba, limitX);
  const int64_t revolution = mechanics_->revolutionNs(lba, limitX);
  const auto latency = static_cast<int64_t>(rng() % static_cast<uint64_t>(std::max<int64_t>(1, revolution)));
  return nowNs + seek + latency;
}

ReadAhead::Result ReadAhead::read(int32_t lba, int32_t count, int64_t hostBytes, int64_t nowNs, double limitX,
                                  int32_t discEnd, std::mt19937_64& rng) {
  advance(nowNs, limitX, discEnd);
  const int64_t transfer = mechanics_->transferNs(hostBytes);
  const bool continues = active_ && lba >= std::max(keepFrom_, head_ - capacitySectors()) && lba <= head_;
  Result r;
  int64_t diskDoneNs = nowNs;
  if (continues) {
    const int32_t missing = lba + count - head_;
    if (missing > 0) {
      // The head has been reading since headNs_ (advance() left it there, or at
      // nowNs when the buffer was full), so a partial sector is not lost.
      diskDoneNs = headNs_ + mechanics_->readNs(head_, missing, limitX);
      head_ += missing;
      headNs_ = diskDoneNs;
    }
  } else {
    r.newStream = true;
    const int64_t startNs = positionNs(lba, nowNs, limitX, rng);
    diskDoneNs = startNs + mechanics_->readNs(lba, count, limitX);
    head_ = lba + count;
    headNs_ = diskDoneNs;
    active_ = true;
  }
  keepFrom_ = lba;
  // The last sector still has to cross the interface after it came off the disc.
  const int64_t lastSectorNs = count > 0 ? mechanics_->transferNs(hostBytes / count) : 0;
  r.doneNs = std::max(nowNs + transfer, diskDoneNs + lastSectorNs);
  return r;
}

int64_t ReadAhead::seek(int32_t lba, int64_t nowNs, double limitX, std::mt19937_64& rng) {
  const int64_t doneNs = lba == head_ && active_ ? nowNs : positionNs(lba, nowNs, limitX, rng);
  active_ = true;
  keepFrom_ = lba;
  head_ = lba;
  headNs_ = doneNs;
  return doneNs + profile_->commandOverheadNs;
}

}  // namespace tmx::emu
