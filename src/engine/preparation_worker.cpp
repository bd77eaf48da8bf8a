#include "engine/engine_ids.h"
#include "engine/measurement_table.h"
#include "engine/workers.h"

namespace tmx {

int32_t warmUpLba(int32_t lastZone) { return lastZone - 2 > 0 ? (lastZone - 2) * 360 : 0; }

int startEventFor(int preparedTest, int readMethod) {
  if (preparedTest == PreparedQualityCheck) return EventQualityStart;
  const MeasurementInfo* test = measurementOf(preparedTest);
  if (!test || (test->needsAudio && !isAudioReadMethod(readMethod))) return -1;
  return test->startEvent;
}

void runPreparation(WorkerContext& ctx) {
  int32_t lba = warmUpLba(ctx.results.lastZone);
  if (!readForFiveSeconds(ctx, lba)) return;
  ctx.commands.Seek(ctx.state.testDrive, 0);
  const int event = startEventFor(ctx.state.preparedTest, ctx.state.readMethod);
  if (event >= 0) ctx.notify(event, 0);
}

}  // namespace tmx
