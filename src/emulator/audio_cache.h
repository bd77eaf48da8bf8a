// The cache of raw sectors some drives keep: what the host read, in read
// order, after the read has moved on. A secure ripper must defeat it, or a
// re-read proves nothing. The oldest sectors leave first when it is full; a
// read far from everything it holds empties it (when the drive does that).
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "emulator/drive_profile.h"

namespace tmx::emu {

class AudioCache {
 public:
  explicit AudioCache(const RippingTraits& traits) : traits_(&traits) {}

  // What a cached stretch was read with, so a hit delivers the same bytes.
  struct Origin {
    uint64_t readSerial = 0;
    int64_t audioOffsetFrames = 0;
  };
  int32_t capacitySectors() const;
  // The origin of [lba, lba + count) when one stretch holds all of it.
  std::optional<Origin> holds(int32_t lba, int32_t count) const;
  // A read of [lba, lba + count) from the disc.
  void note(int32_t lba, int32_t count, Origin origin);
  // A SEEK to lba: empties the cache as a read there would, keeps nothing.
  void seek(int32_t lba);
  void flush();

 private:
  struct Stretch {
    int32_t from = 0, to = 0;
    Origin origin;
  };
  void flushIfFar(int32_t lba, int32_t count);

  const RippingTraits* traits_;
  std::deque<Stretch> stretches_;  // oldest first
  int32_t held_ = 0;
};

}  // namespace tmx::emu
