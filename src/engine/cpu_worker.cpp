#include <algorithm>
#include <vector>

#include "engine/cpu_utilization.h"
#include "engine/engine_ids.h"
#include "engine/medium_plan.h"

namespace tmx {
namespace {

// `reads` reads of `block` sectors, one every `period` seconds, from LBA 0;
// the time the reads took goes to `busy`. False when the worker must end
// (its end event is sent). Each wait ends a period after its read started,
// or, `steady`, at the read's place on the phase's timeline, so that the
// reads after a slow one make up its time as a player's buffer would.
bool pacedReads(WorkerContext& ctx, int32_t block, int reads, double period, double& busy, bool steady = false) {
  std::vector<uint8_t> buffer(static_cast<size_t>(block) * kBlockAudio);
  int32_t lba = 0;
  ctx.commands.Seek(ctx.state.testDrive, 0);
  const int64_t start = ctx.clock.counter();
  for (int i = 0; i < reads; ++i) {
    const int64_t t0 = ctx.clock.counter();
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), static_cast<uint32_t>(block), buffer.data());
    const int64_t t1 = ctx.clock.counter();
    if (commandEndsWorker(ctx, status, lba)) return false;
    ctx.progress(static_cast<long>(static_cast<double>(i + 1) * 100.0 / reads));
    lba += block;
    busy += ctx.seconds(t0, t1);
    // A disc shorter than the phase is read again from its start; the seek
    // back falls in the pacing wait, outside the busy time.
    if (wrapToDisc(ctx.state.discSectors, lba, block) != lba) {
      lba = 0;
      ctx.commands.Seek(ctx.state.testDrive, 0);
    }
    // Pace by spinning on the counter: the read and the wait make one period.
    const int64_t from = steady ? start : t0;
    const double until = steady ? period * (i + 1) : period;
    double elapsed = 0.0;
    while (elapsed < until) {
      if (ctx.state.stopRequested) {
        ctx.notify(EventCancelled, 0);
        return false;
      }
      elapsed = ctx.seconds(from, ctx.clock.counter());
    }
  }
  return true;
}

void report(WorkerContext& ctx, double busy) {
  ctx.notify(EventCpuPhaseDone, static_cast<long>(100.0 * std::min(busy, 15.0) / 15.0));
}

}  // namespace

// A CD is read at the pace of the phase's speed: 3 reads of 25 sectors per
// second at 1X.
void runCpuPhase(WorkerContext& ctx, const CpuPhase& phase) {
  if (ctx.results.media.medium.kind != MediumKind::CD) {
    runMediumCpuPhase(ctx, phase);
    return;
  }
  double busy = 0.0;
  if (pacedReads(ctx, 25, 45 * phase.speed, 1.0 / (phase.speed * 3.0), busy)) report(ctx, busy);
}

// A DVD or BD is read at the pace of the phase's speed in its own X, in its
// blocks, for 15 s. A drive too slow for that pace cannot be measured at it:
// its reads take longer than the pace allows, not once but on the whole.
void runMediumCpuPhase(WorkerContext& ctx, const CpuPhase& phase) {
  const Medium& medium = ctx.results.media.medium;
  const double bytesPerSecond = phase.speed * medium.oneXBytesPerSecond();
  const int32_t block = mediumPlanFor(medium).blockSectors;
  const double period = block * static_cast<double>(kBlockData) / bytesPerSecond;
  const int reads = static_cast<int>(15.0 / period);
  double busy = 0.0;
  const int64_t start = ctx.clock.counter();
  if (!pacedReads(ctx, block, reads, period, busy, /*steady=*/true)) return;
  // A drive that keeps the pace ends with the phase's 15 s; one whose reads
  // take longer than the pace needs longer.
  if (ctx.seconds(start, ctx.clock.counter()) > 15.0 * 1.02 + period) {
    ctx.notify(EventCpuPhaseDone, kCpuNotMeasured);
    return;
  }
  report(ctx, busy);
}

}  // namespace tmx
