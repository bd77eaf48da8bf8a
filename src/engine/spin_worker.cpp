#include <vector>

#include "engine/test_ids.h"
#include "engine/workers.h"
#include "platform/aspi_codes.h"
#include "results/format_string.h"

namespace tmx {
namespace {

// Stops the drive. A stop that did not complete leaves nothing to time: its
// reason goes to failureText and the result is false.
bool stopDrive(WorkerContext& ctx) {
  const AspiStatus status = ctx.commands.StopUnit(ctx.state.testDrive);
  if (status == kAspiSuccess) return true;
  if (ctx.commands.transport().lastRequest().SRB_HaStat == aspi::kHaTimeout) {
    ctx.state.failureText = "Stop command timed out";
  } else {
    ctx.state.failureText = formatString("Stop command failed (code %06X)",
                                         static_cast<unsigned>(ctx.commands.LastSenseCode() & 0xFFFFFFu));
  }
  return false;
}

}  // namespace

void runSpin(WorkerContext& ctx) {
  std::vector<uint8_t> buffer(25 * kBlockAudio);
  SequencerState& s = ctx.state;
  s.currentLba = kSpinLba;
  const bool stopped = stopDrive(ctx);

  int64_t t0 = ctx.clock.counter();
  AspiStatus status = readSectors(ctx, kSpinLba, 1, buffer.data());
  if (commandEndsWorker(ctx, status, kSpinLba)) return;
  int64_t t1 = ctx.clock.counter();
  s.spinPhaseDown = false;
  ctx.notify(EventSpinPhaseDone, stopped ? static_cast<long>(ctx.seconds(t0, t1) * 1000.0) : kSpinNotMeasured);

  const uint32_t start = ctx.clock.tickMs();
  uint32_t now = start;
  while (now - start < 5000) {
    // A short disc in a fast drive is read again from its start.
    const int32_t lba = wrapToDisc(s.discSectors, s.currentLba, 25);
    status = readSectors(ctx, static_cast<uint32_t>(lba), 25, buffer.data());
    s.currentLba = lba + 25;
    if (status != kAspiSuccess) {
      commandEndsWorker(ctx, status, lba);
      return;
    }
    now = ctx.clock.tickMs();
    if (commandEndsWorker(ctx, status, lba)) return;
    ctx.progress(static_cast<long>(static_cast<double>(now - start) / 5000.0 * 100.0));
  }

  t0 = ctx.clock.counter();
  const bool stoppedAgain = stopDrive(ctx);
  t1 = ctx.clock.counter();
  s.spinPhaseDown = true;
  ctx.notify(EventSpinPhaseDone, stoppedAgain ? static_cast<long>(ctx.seconds(t0, t1) * 1000.0) : kSpinNotMeasured);
}

}  // namespace tmx
