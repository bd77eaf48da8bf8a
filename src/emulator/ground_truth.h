// What the measurements on an emulated drive should find, answered from the
// drive's model outside the SCSI path. Values follow the drive's current
// speed limit (SET CD SPEED, SET STREAMING), as the measurements would;
// speeds are in X of the disc's medium.
//
//   GroundTruth truth(*adapter.drive(0));
//   truth.speedXAt(0);            // about 22X on a 52X CAV drive
//   truth.seekMs(0, 314'999);     // a full-stroke seek, rotational latency included
//   GroundTruth(*adapter.drive(9)).layerBreak();   // 2,086,912 on the DVD+R DL
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "emulator/drive_model.h"

namespace tmx::emu {

class GroundTruth {
 public:
  explicit GroundTruth(const DriveModel& drive) : drive_(&drive) {}

  Rotation rotation() const { return drive_->profile().rotation; }
  std::string_view rotationName() const;  // "CLV", "CAV", "P-CAV", "Z-CLV"
  int32_t capacity() const;

  // The medium: CD, DVD or BD, its MMC profile, layers and where layer 1
  // starts (0 for one layer), and its 1X in bytes of user data per second.
  DiscFamily family() const;
  uint16_t profile() const { return drive_->currentProfile(); }
  int layers() const;
  int32_t layerBreak() const;
  bool oppositeTrackPath() const;
  double oneXBytesPerSecond() const { return sectorsPerSecond1x() * 2048.0; }
  double sectorsPerSecond1x() const { return drive_->mechanics().geometry().sectorsPerSecond1x; }
  // The fastest the drive reads this disc: the speed at its outermost
  // sector, what GET PERFORMANCE's largest figure says.
  double fastestSpeedX() const;

  double speedXAt(int32_t lba) const;
  double rpmAt(int32_t lba) const;
  // Mean speed of a sequential read of [first, first + count) in 25-sector
  // commands: sectors over disc time (the buffer keeps the interface out of it).
  double averageSpeedX(int32_t first, int32_t count) const;

  // Seek from one position to another, with the mean rotational latency and
  // the command overhead: what one timed SEEK takes on average.
  double seekMs(int32_t from, int32_t to) const;
  // Mean of a sequence of seeks starting at `start`.
  double averageSeekMs(int32_t start, const std::vector<int32_t>& targets) const;

  double spinUpMs(int32_t lba) const;
  double spinDownMs(int32_t lba) const;

  // Time of one read served from the buffer, and the rate the program
  // reports for it (n sectors counted at 2 KB each, in KB/s).
  double cachedReadMs(int32_t sectors, int32_t bytesPerSector) const;
  double burstKBps(int32_t sectors, int32_t bytesPerSector) const;
  double interfaceBytesPerSecond() const { return drive_->profile().interfaceBytesPerSecond; }

  // Audio: repeated extractions match exactly.
  bool exactAudio() const;
  bool c2Pointers() const { return drive_->profile().c2Pointers; }
  // Sectors with C2 errors (or unreadable) on the disc.
  int32_t damagedSectors() const;

  // What a ripper asks (ground_truth_ripping.cpp). Which read commands
  // return audio, and the sub-channel each adds (kSubRawPw, kSubFormattedQ).
  bool readsCd() const;
  bool readsCdMsf() const;
  bool readsCdda() const;
  uint8_t subchannels(uint8_t opcode) const;
  bool c2BlockErrorByte() const { return c2Pointers() && drive_->profile().ripping.c2BlockErrorByte; }
  int c2ShiftBytes() const { return drive_->profile().ripping.c2ShiftBytes; }
  // Re-reads (past the cache) of the readable damaged sectors in
  // [first, first + count): how many come flagged and different, flagged
  // and identical, different without a flag.
  struct C2Counts {
    int32_t flaggedDiffering = 0;
    int32_t flaggedIdentical = 0;
    int32_t differingUnflagged = 0;
    friend bool operator==(const C2Counts&, const C2Counts&) = default;
  };
  C2Counts c2Counts(int32_t first, int32_t count) const;
  // The raw-sector cache: its size (0: none) and the distance of a read that
  // empties it (0: never).
  int32_t cacheSectors() const;
  double cacheKB() const { return cacheSectors() * 2352.0 / 1024.0; }
  int32_t cacheFlushSectors() const { return drive_->profile().ripping.cacheFlushSectors; }
  int leadInSectors() const { return drive_->profile().ripping.leadInSectors; }
  int leadOutSectors() const { return drive_->profile().ripping.leadOutSectors; }
  enum class SpeedControl { Obeyed, Ignored, Capped };
  SpeedControl speedControl() const;
  double speedCapX() const { return drive_->profile().ripping.speedCapX; }

 private:
  const DriveModel* drive_;
};

}  // namespace tmx::emu
