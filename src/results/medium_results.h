// What a run measured on a medium other than CD, beside the CD-shaped record
// (whose persisted block is the DAT file's): the medium itself, the drive's
// maximum read speed for it, the transfer zones with their LBAs, and the read
// scan that stands in for the CD quality check. Live members only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "drive/medium.h"

namespace tmx {

struct ZoneSpeed {
  int64_t startLba = 0;
  double speedX = 0;  // in X of the medium
};

// Read latencies of a scan fall in buckets under 3, 10, 50, 150 and 500 ms,
// and 500 ms and above.
inline constexpr std::array<double, 5> kLatencyBoundsMs = {3, 10, 50, 150, 500};
inline constexpr int kLatencyBucketCount = 6;
int latencyBucketOf(double ms);

// One read of a scan's block that failed: where, how many sectors, how often
// it was tried again, whether a retry read it in the end.
struct FailedBlock {
  int64_t lba = 0;
  int32_t sectors = 0;
  int retries = 0;
  bool recovered = false;
};

inline constexpr int kScanMapCells = 400;  // one per column of the graph

struct ReadScan {
  int64_t blocksRead = 0;
  std::array<int64_t, kLatencyBucketCount> latencyBuckets{};
  std::vector<FailedBlock> failedBlocks;
  int64_t unreadableSectors = 0;  // of blocks no retry could read
  // Per map cell (the disc in kScanMapCells equal parts): the slowest bucket
  // a read in it fell in, kLatencyBucketCount for an unreadable block, -1
  // for a cell not read yet.
  std::array<int8_t, kScanMapCells> map = emptyMap();
  int32_t elapsedMs = 0;

  static constexpr std::array<int8_t, kScanMapCells> emptyMap() {
    std::array<int8_t, kScanMapCells> m{};
    m.fill(-1);
    return m;
  }
  // Counts one block's read into the buckets and its cell.
  void countRead(int64_t lba, int64_t capacity, double latencyMs);
  // Marks a block no retry could read.
  void countUnreadable(int64_t lba, int64_t capacity, int32_t sectors);
};

// The map cell of an LBA on a disc of `capacity` sectors.
int scanCellOf(int64_t lba, int64_t capacity);

struct MediumResults {
  Medium medium;  // of the run; a CD unless the probe found another medium
  // The drive's maximum read speed for the medium, in its X, where it says.
  std::optional<double> maxReadSpeedX;
  std::vector<ZoneSpeed> zones;  // DVD and BD transfer zones, in order
  int32_t plannedZones = 0;      // zones the transfer test set out to read; 0 when none ran
  ReadScan scan;                 // DVD and BD quality check
};

}  // namespace tmx
