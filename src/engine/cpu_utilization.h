// The CPU utilization test: paced reads at 1X, 2X, 4X and 8X, each phase
// reporting the share of 15 s the reads kept the processor busy.
#pragma once

#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

struct CpuPhase {
  int speed = 1;  // X: 1, 2, 4, 8
};

// Paced reads at the phase's speed for a nominal 15 s: EventCpuPhaseDone in %.
void runCpuPhase(WorkerContext& ctx, const CpuPhase& phase);
// The same on a DVD or BD, at the medium's X: kCpuNotMeasured when the drive
// cannot read at that speed.
void runMediumCpuPhase(WorkerContext& ctx, const CpuPhase& phase);
inline constexpr long kCpuNotMeasured = -1;

class CpuUtilizationHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool handle(int event, long value) override;

 private:
  void phaseDone(long percent);
  void startPhase();
  CpuPhase phase_;
};

}  // namespace tmx
