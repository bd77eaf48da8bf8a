// The CD quality check: every sector read with its C2 error pointers, the
// flagged bytes counted per block of 900 sectors and mapped over the disc.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

struct QualityPhase {
  // Bytes with a C2 error bit in the block being read.
  std::atomic<int32_t> blockErrors{0};
  // Milliseconds the check took from its first read.
  int32_t elapsedMs = 0;
};

// Every sector with its C2 error pointers, 15 per read; EventQualityBlock
// after each read at a multiple of 900 sectors, EventQualityDone at the end.
void runQualityCheck(WorkerContext& ctx, QualityPhase& phase);

// The check of a DVD or BD: every sector read once in the medium's blocks,
// each read timed into its latency bucket; a block that fails with a medium
// error is tried again up to kScanRetries times, and one that never reads is
// counted unreadable while the scan goes on. EventQualityBlock (with the cell)
// as each map cell is done, EventQualityDone at the end.
void runReadScan(WorkerContext& ctx);
inline constexpr int kScanRetries = 3;

// Map class of a block's flagged bytes: 0 for none, else 1 per 8467 bytes
// (1/250 of 900 sectors' 2,116,800 bytes) plus one.
int qualityClass(int32_t blockErrors);

class QualityCheckHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool handle(int event, long value) override;

 private:
  bool cd() const;
  void blockDone(long cell);
  void checkDone();
  void scanDone();
  QualityPhase phase_;
};

}  // namespace tmx
