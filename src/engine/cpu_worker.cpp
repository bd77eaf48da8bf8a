#include <algorithm>
#include <vector>

#include "engine/cpu_utilization.h"
#include "engine/engine_ids.h"
#include "engine/medium_plan.h"

namespace tmx {
namespace {

// `reads` reads of `block` sectors, one every `period` seconds, from LBA 0;
// the time the reads took goes to `busy`. False when the worker must end
// (its end event is sent).
bool pacedReads(WorkerContext& ctx, int32_t block, int reads, double period, double& busy) {
  std::vector<uint8_t> buffer(static_cast<size_t>(block) * kBlockAudio);
  int32_t lba = 0;
  ctx.commands.Seek(ctx.state.testDrive, 0);
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
    double elapsed = 0.0;
    while (elapsed < period) {
      if (ctx.state.stopRequested) {
        ctx.notify(EventCancelled, 0);
        return false;
      }
      elapsed = ctx.seconds(t0, ctx.clock.counter());
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

// A DVD or BD is set to the phase's speed in its own X, then read in blocks
// at that pace for 15 s; a drive that cannot be set to the speed leaves the
// phase not measured.
void runMediumCpuPhase(WorkerContext& ctx, const CpuPhase& phase) {
  const Medium& medium = ctx.results.media.medium;
  const double bytesPerSecond = phase.speed * medium.oneXBytesPerSecond();
  const auto kbps = static_cast<uint16_t>(std::min(65534.0, bytesPerSecond / 1000.0));
  const AspiStatus set = ctx.commands.SetReadSpeed(ctx.state.testDrive, kbps);
  if (set != kAspiSuccess) {
    // A drive that refuses the speed cannot be measured at it; any other
    // failure ends the test as a failed read does.
    const DriveFailure failure = ctx.commands.transport().lastFailure();
    if (!failure.refused && !(failure.kind == FailureKind::Sense && failure.senseKey == 0x05)) {
      commandEndsWorker(ctx, set, 0);
      return;
    }
    ctx.notify(EventCpuPhaseDone, kCpuNotMeasured);
    return;
  }
  const int32_t block = mediumPlanFor(medium).blockSectors;
  const double period = block * static_cast<double>(kBlockData) / bytesPerSecond;
  double busy = 0.0;
  if (!pacedReads(ctx, block, static_cast<int>(15.0 / period), period, busy)) return;
  // The last phase gives the drive its full speed back.
  if (phase.speed == 8) ctx.commands.SetReadSpeed(ctx.state.testDrive, 0xFFFF);
  report(ctx, busy);
}

}  // namespace tmx
