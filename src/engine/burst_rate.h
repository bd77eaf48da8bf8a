// The burst rate test: the same sectors read again and again, so they come
// from the drive's cache at the speed of its interface.
#pragma once

#include <cstdint>

#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

inline constexpr int32_t kBurstLba = 100;

// 301 reads of the same sectors at LBA 100, the last 300 timed: EventBurstDone in KB/s.
void runBurst(WorkerContext& ctx);

// Sectors per burst read from the option in KB: half of it, 1..192.
int burstSectors(int burstLengthKB);

class BurstRateHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool handle(int event, long value) override;
};

}  // namespace tmx
