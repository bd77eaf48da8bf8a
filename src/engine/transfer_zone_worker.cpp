#include <vector>

#include "engine/engine_ids.h"
#include "engine/transfer_rate.h"

namespace tmx {

int readsPerZone(double zoneReads) {
  const int n = static_cast<int>(zoneReads);
  return n == 360 ? n : n + 1;
}

void runTransferZone(WorkerContext& ctx, const TransferPhase& phase) {
  std::vector<uint8_t> buffer(25 * kBlockAudio);
  SequencerState& s = ctx.state;
  const int n = readsPerZone(phase.zoneReads);
  int64_t start = ctx.clock.counter();
  for (int i = 0; i < n; ++i) {
    const int32_t lba = s.currentLba;
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), 25, buffer.data());
    if (commandEndsWorker(ctx, status, lba)) return;
    ctx.progress(static_cast<long>(static_cast<double>(i + 1) * 100.0 / n));
    s.currentLba = lba + 25;
    if (i == 0) start = ctx.clock.counter();
  }
  const int64_t end = ctx.clock.counter();
  if (phase.zoneReads != 360.0) s.currentLba = s.currentLba + (360 - n) * 25;
  const double t = ctx.seconds(start, end);
  // zoneRateScale counts zoneReads x 25 sectors; the timed reads hold (n - 1)
  // x 25. The two agree at test lengths 2 to 6; at length 1 the first read of
  // the 360 is not timed, so only 8975 of the 9000 sectors are.
  const double scale = phase.zoneRateScale * ((n - 1) * 25.0) / (phase.zoneReads * 25.0);
  storeSpeedSample(ctx.results, phase.zone, t > 0 ? scale / t : -1.0);
  ctx.notify(EventTransferZone, 0);
}

void runMediumZone(WorkerContext& ctx, const MediumZonePhase& phase) {
  const int32_t block = phase.plan.blockSectors;
  std::vector<uint8_t> buffer(static_cast<size_t>(block) * kBlockData);
  const int64_t zoneStart = phase.zone * phase.plan.zoneSectors;
  const int64_t end = zoneStart + block + phase.timedSectors;
  int64_t start = 0;
  for (int64_t lba = zoneStart; lba < end; lba += block) {
    if (lba == zoneStart + block) start = ctx.clock.counter();
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), static_cast<uint32_t>(block), buffer.data());
    if (commandEndsWorker(ctx, status, static_cast<int32_t>(lba))) return;
    ctx.progress(static_cast<long>((lba - zoneStart + block) * 100 / (end - zoneStart)));
  }
  const double t = ctx.seconds(start, ctx.clock.counter());
  const double bytes = static_cast<double>(phase.timedSectors) * kBlockData;
  const double speedX = t > 0 ? bytes / t / ctx.results.media.medium.oneXBytesPerSecond() : -1.0;
  ctx.results.media.zones.push_back({zoneStart, speedX});
  ctx.notify(EventTransferZone, 0);
}

}  // namespace tmx
