// The drive's read-ahead buffer in time. After serving a read the drive keeps
// reading the following sectors at the disc speed of that position until the
// buffer is full (it never drops what the host read last, so re-reads hit).
// A read inside the buffered stretch, or continuing it, waits only for the
// sectors not yet read; anything else costs a seek, rotational latency and a
// fresh read. Host transfers run at the interface rate.
#pragma once

#include <cstdint>
#include <random>

#include "emulator/drive_profile.h"
#include "emulator/mechanics.h"

namespace tmx::emu {

class ReadAhead {
 public:
  ReadAhead(const DriveProfile& profile, const Mechanics& mechanics);

  struct Result {
    int64_t doneNs = 0;
    bool newStream = false;  // the read started a new stream (seek, spin-up)
  };
  // A host read of [lba, lba + count) arriving at nowNs, moving `hostBytes`.
  Result read(int32_t lba, int32_t count, int64_t hostBytes, int64_t nowNs, double limitX, int32_t discEnd,
              std::mt19937_64& rng);
  // Positions the head at lba; the next read there continues without a seek.
  int64_t seek(int32_t lba, int64_t nowNs, double limitX, std::mt19937_64& rng);
  // Forgets the buffer (disc stopped, changed or speed changed); the head stays.
  void flush();

  int32_t headLba() const { return head_; }
  bool buffered(int32_t lba) const;
  // Sectors the buffer holds, of the disc's medium.
  int32_t capacitySectors() const;

 private:
  void advance(int64_t nowNs, double limitX, int32_t discEnd);
  int64_t positionNs(int32_t lba, int64_t nowNs, double limitX, std::mt19937_64& rng);

  const DriveProfile* profile_;
  const Mechanics* mechanics_;
  bool active_ = false;   // a stream is buffered and reading ahead
  int32_t keepFrom_ = 0;  // start of the host's last read; never dropped
  int32_t head_ = 0;      // next sector the drive reads from the disc
  int64_t headNs_ = 0;    // time at which head_ is reached
};

}  // namespace tmx::emu
