#include <vector>

#include "engine/engine_ids.h"
#include "engine/spin_up_down.h"
#include "results/format_string.h"

namespace tmx {
namespace {

// Stops the drive. A stop that did not complete leaves nothing to time: its
// reason goes to failureText and the result is false.
bool stopDrive(WorkerContext& ctx) {
  const AspiStatus status = ctx.commands.StopUnit(ctx.state.testDrive);
  if (status == kAspiSuccess) return true;
  if (ctx.commands.transport().lastFailure().timedOut()) {
    ctx.state.failureText = "Stop command timed out";
  } else {
    ctx.state.failureText = formatString("Stop command failed (code %06X)",
                                         static_cast<unsigned>(ctx.commands.LastSenseCode() & 0xFFFFFFu));
  }
  return false;
}

}  // namespace

void runSpin(WorkerContext& ctx, SpinPhase& phase) {
  std::vector<uint8_t> buffer(kBlockAudio);
  ctx.state.currentLba = kSpinLba;
  const bool stopped = stopDrive(ctx);

  int64_t t0 = ctx.clock.counter();
  const AspiStatus status = readSectors(ctx, kSpinLba, 1, buffer.data());
  if (commandEndsWorker(ctx, status, kSpinLba)) return;
  int64_t t1 = ctx.clock.counter();
  phase.down = false;
  ctx.notify(EventSpinPhaseDone, stopped ? static_cast<long>(ctx.seconds(t0, t1) * 1000.0) : kSpinNotMeasured);

  // Five busy seconds bring the drive up to speed again.
  int32_t lba = kSpinLba;
  if (!readForFiveSeconds(ctx, lba)) return;
  ctx.state.currentLba = lba;

  t0 = ctx.clock.counter();
  const bool stoppedAgain = stopDrive(ctx);
  t1 = ctx.clock.counter();
  phase.down = true;
  ctx.notify(EventSpinPhaseDone, stoppedAgain ? static_cast<long>(ctx.seconds(t0, t1) * 1000.0) : kSpinNotMeasured);
}

}  // namespace tmx
