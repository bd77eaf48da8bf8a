#include "emulator/disc.h"

#include <algorithm>
#include <cstring>

#include "emulator/hash_mix.h"
#include "emulator/iso_image.h"

namespace tmx::emu {
namespace {

// Track lengths vary between about 0.6 and 1.4 times the mean, from the seed;
// every track is at least 4 seconds long.
std::vector<int32_t> trackLengths(int32_t total, int count, uint64_t seed) {
  count = std::clamp(count, 1, 99);
  count = std::min(count, std::max(1, total / 300));
  std::vector<double> weights(static_cast<size_t>(count));
  double sum = 0;
  for (int i = 0; i < count; ++i) {
    weights[static_cast<size_t>(i)] = 0.6 + 0.8 * static_cast<double>(hashMix(seed + static_cast<uint64_t>(i)) % 1000) / 1000.0;
    sum += weights[static_cast<size_t>(i)];
  }
  std::vector<int32_t> lengths;
  int32_t used = 0;
  for (int i = 0; i < count; ++i) {
    int32_t len = i + 1 == count ? total - used
                                 : static_cast<int32_t>(static_cast<double>(total) * weights[static_cast<size_t>(i)] / sum);
    lengths.push_back(len);
    used += len;
  }
  return lengths;
}

}  // namespace

Disc::Disc(DiscSpec spec) : spec_(std::move(spec)) {
  if (spec_.family == DiscFamily::Cd) {
    spec_.layers = 1;
  } else {
    spec_.layers = std::clamp(spec_.layers, 1, 2);
    if (spec_.content != DiscContent::Blank) spec_.content = DiscContent::Data;
  }
  if (!spec_.isoPath.empty()) {
    // An unreadable image leaves a data disc of the requested length reading zeros.
    iso_ = std::make_unique<IsoImage>(spec_.isoPath);
    spec_.content = DiscContent::Data;
    if (iso_->ok() && iso_->sectors() > 0) spec_.sectors = iso_->sectors();
  }
  if (blank()) return;
  spec_.sectors = std::max(spec_.sectors, iso_ ? 1 : 300);
  int32_t start = 0;
  uint8_t number = 1;
  auto add = [&](bool data, int32_t length) {
    tracks_.push_back(Track{number++, data, start, length});
    start += length;
  };
  switch (spec_.content) {
    case DiscContent::Data:
      add(true, spec_.sectors);
      break;
    case DiscContent::Audio:
      for (int32_t len : trackLengths(spec_.sectors, spec_.tracks, spec_.seed)) add(false, len);
      break;
    case DiscContent::Mixed: {
      // A data track first, then the audio tracks, as on mixed-mode discs.
      const int32_t dataLength = spec_.sectors / 4;
      add(true, dataLength);
      for (int32_t len : trackLengths(spec_.sectors - dataLength, std::max(1, spec_.tracks - 1), spec_.seed)) {
        add(false, len);
      }
      break;
    }
    case DiscContent::Blank:
      break;
  }
  anyAudio_ = std::any_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return !t.data; });
  anyData_ = std::any_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return t.data; });
}

Disc::~Disc() = default;

int32_t Disc::layerBreak() const {
  if (spec_.layers < 2) return 0;
  if (spec_.layer0Sectors > 0) return spec_.layer0Sectors;
  const int32_t block = spec_.family == DiscFamily::Bd ? 32 : 16;
  return std::max(block, spec_.sectors / 2 / block * block);
}

DiscGeometry Disc::geometry() const {
  switch (spec_.family) {
    case DiscFamily::Dvd: return dvdGeometry(layerBreak(), spec_.oppositeTrackPath);
    case DiscFamily::Bd: return bdGeometry(layerBreak());
    case DiscFamily::Cd: break;
  }
  return cdGeometry();
}

const AudioTable* Disc::audioTable() const {
  if (!anyAudio_) return nullptr;
  std::call_once(audioOnce_, [this] { audio_ = std::make_unique<AudioTable>(spec_.seed); });
  return audio_.get();
}

const DataTable* Disc::dataTable() const {
  if (!anyData_) return nullptr;
  std::call_once(dataOnce_, [this] { data_ = std::make_unique<DataTable>(spec_.seed); });
  return data_.get();
}

const Track* Disc::trackAt(int32_t lba) const {
  auto it = std::upper_bound(tracks_.begin(), tracks_.end(), lba, [](int32_t v, const Track& t) { return v < t.start; });
  if (it == tracks_.begin()) return nullptr;
  --it;
  return lba < it->end() ? &*it : nullptr;
}

bool Disc::isAudio(int32_t lba) const {
  const Track* t = trackAt(lba);
  return t != nullptr && !t->data;
}

bool Disc::silentAt(int32_t lba) const {
  if (spec_.silent) return true;
  const Track* t = trackAt(lba);
  if (t == nullptr || t->data) return false;
  const size_t next = t->number;  // index of the following track
  return next < tracks_.size() && !tracks_[next].data && tracks_[next].start - lba <= 150;
}

SectorDamage Disc::damageAt(int32_t lba) const {
  for (const DamageRegion& r : spec_.damage) {
    if (lba < r.start || lba >= r.start + r.length) continue;
    if (r.unreadable) return SectorDamage{true, 0, 0};
    const uint64_t h = hashMix(spec_.seed * 0x9E37ull + static_cast<uint64_t>(lba));
    if (static_cast<double>(h % 1'000'000) >= r.density * 1'000'000.0) continue;
    SectorDamage d;
    d.badBytes = static_cast<uint16_t>(1 + (h >> 20) % 48);
    d.firstBadByte = static_cast<uint16_t>((h >> 32) % (kRawSectorBytes - d.badBytes));
    return d;
  }
  return {};
}

int32_t Disc::damagedSectorCount() const {
  if (spec_.damage.empty()) return 0;
  int32_t n = 0;
  for (int32_t lba = 0; lba < capacity(); ++lba) {
    const SectorDamage d = damageAt(lba);
    n += (d.unreadable || d.badBytes > 0) ? 1 : 0;
  }
  return n;
}

void Disc::fillAudio(int32_t lba, size_t sectors, int64_t offsetFrames, uint8_t* out, size_t stride) const {
  const auto first = [&](size_t i) { return (int64_t{lba} + static_cast<int64_t>(i)) * int64_t{kFramesPerSector} + offsetFrames; };
  const AudioTable* audio = audioTable();
  if (audio == nullptr) {
    for (size_t i = 0; i < sectors; ++i) std::memset(out + i * stride, 0, kRawSectorBytes);
    return;
  }
  if (stride == kRawSectorBytes) {
    audio->copyFrames(first(0), sectors * kFramesPerSector, out);
  } else {
    for (size_t i = 0; i < sectors; ++i) audio->copyFrames(first(i), kFramesPerSector, out + i * stride);
  }
  for (size_t i = 0; i < sectors; ++i) {
    if (silentAt(lba + static_cast<int32_t>(i))) std::memset(out + i * stride, 0, kRawSectorBytes);
  }
}

void Disc::fillUserData(int32_t lba, size_t sectors, uint8_t* out, size_t stride) const {
  if (iso_ != nullptr) {
    iso_->read(lba, sectors, out, stride);
  } else if (const DataTable* data = dataTable()) {
    data->copyUserData(lba, sectors, out, stride);
  }
}

void Disc::fillRawData(int32_t lba, std::span<uint8_t, kRawSectorBytes> out) const {
  fillUserData(lba, 1, out.data() + 16, kUserDataBytes);
  frameMode1Sector(lba, out);
}

}  // namespace tmx::emu
