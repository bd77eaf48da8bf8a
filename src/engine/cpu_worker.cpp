#include <vector>

#include "engine/engine_ids.h"
#include "engine/cpu_utilization.h"

namespace tmx {

void runCpuPhase(WorkerContext& ctx, const CpuPhase& phase) {
  std::vector<uint8_t> buffer(25 * kBlockAudio);
  const int speed = phase.speed;
  const int reads = 45 * speed;
  const double period = 1.0 / (speed * 3.0);
  double busy = 0.0;
  int32_t lba = 0;
  ctx.commands.Seek(ctx.state.testDrive, 0);
  for (int i = 0; i < reads; ++i) {
    const int64_t t0 = ctx.clock.counter();
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), 25, buffer.data());
    const int64_t t1 = ctx.clock.counter();
    if (commandEndsWorker(ctx, status, lba)) return;
    ctx.progress(static_cast<long>(static_cast<double>(i + 1) * 100.0 / reads));
    lba += 25;
    busy += ctx.seconds(t0, t1);
    // A disc shorter than the phase is read again from its start; the seek
    // back falls in the pacing wait, outside the busy time.
    if (wrapToDisc(ctx.state.discSectors, lba, 25) != lba) {
      lba = 0;
      ctx.commands.Seek(ctx.state.testDrive, 0);
    }
    // Pace by spinning on the counter: the read and the wait make one period.
    double elapsed = 0.0;
    while (elapsed < period) {
      if (ctx.state.stopRequested) {
        ctx.notify(EventCancelled, 0);
        return;
      }
      elapsed = ctx.seconds(t0, ctx.clock.counter());
    }
  }
  if (busy > 15.0) busy = 15.0;
  ctx.notify(EventCpuPhaseDone, static_cast<long>(100.0 * busy / 15.0));
}

}  // namespace tmx
