#include <vector>

#include "engine/test_ids.h"
#include "engine/workers.h"

namespace tmx {

int32_t warmUpLba(int32_t lastZone) { return lastZone - 2 > 0 ? (lastZone - 2) * 360 : 0; }

int startEventFor(int preparedTest, int readMethod) {
  switch (preparedTest) {
    case TestTransferRate: return EventTransferZone;
    case TestDaeQuality: return isAudioReadMethod(readMethod) ? EventDaeStart : -1;
    case TestSeekTimes: return EventSeekStart;
    case TestCpuUtilization: return EventCpuStart;
    case TestBurstRate: return EventBurstStart;
    case TestSpinUpDown: return EventSpinStart;
    case PreparedQualityCheck: return EventQualityStart;
    default: return -1;
  }
}

void runPreparation(WorkerContext& ctx) {
  std::vector<uint8_t> buffer(25 * kBlockAudio);
  int32_t lba = warmUpLba(ctx.results.lastZone);
  const uint32_t start = ctx.clock.tickMs();
  uint32_t latest = start;
  while (latest - start < 5000) {
    // A disc too short for five seconds of reading is read again from its start.
    lba = wrapToDisc(ctx.state.discSectors, lba, 25);
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), 25, buffer.data());
    if (status != kAspiSuccess) {
      commandEndsWorker(ctx, status, lba);
      return;
    }
    lba += 25;
    latest = ctx.clock.tickMs();
    if (commandEndsWorker(ctx, status, lba)) return;
    ctx.progress(static_cast<long>(static_cast<double>(latest - start) / 5000.0 * 100.0));
  }
  ctx.commands.Seek(ctx.state.testDrive, 0);
  const int event = startEventFor(ctx.state.preparedTest, ctx.state.readMethod);
  if (event >= 0) ctx.notify(event, 0);
}

}  // namespace tmx
