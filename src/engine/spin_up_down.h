// The spin up/down test: the time from a stopped drive to its first read, and
// from a busy drive to stopped.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

inline constexpr int32_t kSpinLba = 100;
inline constexpr long kSpinNotMeasured = -1;

struct SpinPhase {
  // Set by the worker before it reports its second time.
  std::atomic<bool> down{false};
};

// Spin-up time after a stop, five busy seconds, spin-down time, each sent as
// EventSpinPhaseDone in ms. A time whose stop command failed or timed out is
// sent as kSpinNotMeasured, its reason in failureText.
void runSpin(WorkerContext& ctx, SpinPhase& phase);

class SpinUpDownHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool prepare() override;
  bool handle(int event, long value) override;

 private:
  void phaseDone(long ms);
  SpinPhase phase_;
};

}  // namespace tmx
