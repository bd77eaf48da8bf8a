#include <algorithm>
#include <vector>

#include "engine/engine_ids.h"
#include "engine/burst_rate.h"

namespace tmx {

int burstSectors(int burstLengthKB) { return std::clamp(burstLengthKB / 2, 1, 192); }

void runBurst(WorkerContext& ctx) {
  const int n = burstSectors(ctx.settings.burstLengthKB);
  // Room for every sector asked for, so reads above 25 sectors move real data.
  std::vector<uint8_t> buffer(static_cast<size_t>(n) * kBlockAudio);
  ctx.state.currentLba = kBurstLba;
  ctx.commands.Seek(ctx.state.testDrive, 0);
  // Built once: the reads are timed, the building is not.
  const bool wide = ctx.results.media.medium.kind != MediumKind::CD;
  const CdbRequest request = readRequest(ctx.state.readMethod, kBurstLba, static_cast<uint32_t>(n), wide);

  int64_t start = ctx.clock.counter();
  for (int i = 0; i <= 300; ++i) {
    ctx.progress(i * 100 / 300);
    if (i == 1) start = ctx.clock.counter();
    const AspiStatus status = ctx.commands.send(ctx.state.testDrive, request, buffer.data());
    if (commandEndsWorker(ctx, status, kBurstLba)) return;
  }
  const int64_t end = ctx.clock.counter();
  const double t = ctx.seconds(start, end);
  ctx.notify(EventBurstDone, t > 0 ? static_cast<long>(n * 600.0 / t) : 0);
}

}  // namespace tmx
