#include "emulator/audio_cache.h"

#include <algorithm>

#include "emulator/sector_synth.h"

namespace tmx::emu {

int32_t AudioCache::capacitySectors() const { return static_cast<int32_t>(traits_->cacheBytes / kRawSectorBytes); }

std::optional<AudioCache::Origin> AudioCache::holds(int32_t lba, int32_t count) const {
  for (const Stretch& s : stretches_) {
    if (lba >= s.from && lba + count <= s.to) return s.origin;
  }
  return std::nullopt;
}

void AudioCache::flush() {
  stretches_.clear();
  held_ = 0;
}

void AudioCache::flushIfFar(int32_t lba, int32_t count) {
  if (traits_->cacheFlushSectors <= 0 || stretches_.empty()) return;
  int64_t nearest = INT64_MAX;
  for (const Stretch& s : stretches_) {
    const int64_t gap = lba + count <= s.from ? int64_t{s.from} - (lba + count - 1)
                        : lba >= s.to         ? int64_t{lba} - (s.to - 1)
                                              : 0;
    nearest = std::min(nearest, gap);
  }
  if (nearest >= traits_->cacheFlushSectors) flush();
}

void AudioCache::seek(int32_t lba) { flushIfFar(lba, 1); }

void AudioCache::note(int32_t lba, int32_t count, Origin origin) {
  const int32_t capacity = capacitySectors();
  if (capacity <= 0 || count <= 0) return;
  flushIfFar(lba, count);
  // One stretch a read: each read's damaged bytes came out its own way.
  stretches_.push_back(Stretch{lba, lba + count, origin});
  held_ += count;
  while (held_ > capacity) {
    Stretch& front = stretches_.front();
    const int32_t drop = std::min(held_ - capacity, front.to - front.from);
    front.from += drop;
    held_ -= drop;
    if (front.from == front.to) stretches_.pop_front();
  }
}

}  // namespace tmx::emu
