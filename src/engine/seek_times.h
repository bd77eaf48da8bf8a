// The seek times test: three phases of 100 seeks (random, one-third stroke,
// full stroke), each timed together by one worker.
#pragma once

#include <cstdint>

#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

// The test needs a disc of 70 minutes: the full stroke goes to LBA 314999.
inline constexpr int32_t kSeekMinimumSectors = 315000;

struct SeekPhase {
  int phase = 0;  // 0 random, 1 one-third, 2 full stroke
  // The seek command the drive under test accepts (0Bh SEEK(6) or 2Bh
  // SEEK(10)), found before the first timed seek; 0 until then.
  uint8_t opcode = 0;
};

// 100 seeks of the phase, timed together: EventSeekPhaseDone with their total
// in ms.
void runSeekPhase(WorkerContext& ctx, SeekPhase& phase);

// Target of seek i (0..99) in a seek phase: the fixed random table, or
// alternating between the far position and 0.
int32_t seekTarget(int phase, int i);

class SeekTimesHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool prepare() override;
  bool handle(int event, long value) override;

 private:
  bool discLongEnough();
  void start();
  void phaseDone(long value);
  void startPhase();
  SeekPhase phase_;
};

}  // namespace tmx
