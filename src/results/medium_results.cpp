#include "results/medium_results.h"

#include <algorithm>

namespace tmx {

int latencyBucketOf(double ms) {
  int bucket = 0;
  while (bucket < static_cast<int>(kLatencyBoundsMs.size()) && !(ms < kLatencyBoundsMs[static_cast<size_t>(bucket)])) {
    ++bucket;
  }
  return bucket;
}

int scanCellOf(int64_t lba, int64_t capacity) {
  if (capacity <= 0 || lba < 0) return 0;
  return static_cast<int>(std::min<int64_t>(lba * kScanMapCells / capacity, kScanMapCells - 1));
}

void ReadScan::countRead(int64_t lba, int64_t capacity, double latencyMs) {
  const int bucket = latencyBucketOf(latencyMs);
  ++blocksRead;
  ++latencyBuckets[static_cast<size_t>(bucket)];
  int8_t& cell = map[static_cast<size_t>(scanCellOf(lba, capacity))];
  cell = std::max<int8_t>(cell, static_cast<int8_t>(bucket));
}

void ReadScan::countUnreadable(int64_t lba, int64_t capacity, int32_t sectors) {
  unreadableSectors += sectors;
  map[static_cast<size_t>(scanCellOf(lba, capacity))] = static_cast<int8_t>(kLatencyBucketCount);
}

}  // namespace tmx
