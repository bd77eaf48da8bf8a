#include "engine/worker_context.h"

#include "engine/test_ids.h"

namespace tmx {

bool commandEndsWorker(WorkerContext& ctx, AspiStatus status, int32_t lba) {
  if (status != kAspiSuccess) {
    ctx.state.currentLba = lba;
    ctx.notify(EventReadError, static_cast<long>(ctx.commands.LastSenseCode()));
    return true;
  }
  if (ctx.state.stopRequested) {
    ctx.notify(EventCancelled, 0);
    return true;
  }
  return false;
}

int32_t wrapToDisc(int32_t discSectors, int32_t lba, int32_t count) {
  return discSectors > 0 && lba + count > discSectors ? 0 : lba;
}

uint32_t blockSizeOf(int readMethod) {
  switch (readMethod) {
    case ReadMethodCdda:
    case ReadMethodCdAudio:
    case ReadMethodRead10Raw: return kBlockAudio;
    default: return kBlockData;
  }
}

AspiStatus readSectors(WorkerContext& ctx, uint32_t lba, uint32_t count, uint8_t* buffer) {
  const DriveAddress drive = ctx.state.testDrive;
  DriveCommands& c = ctx.commands;
  switch (ctx.state.readMethod.load()) {
    case ReadMethodRead12: return c.Read12(drive, lba, count, buffer);
    case ReadMethodCdda: return c.ReadCdda(drive, lba, count, buffer);
    case ReadMethodCdAudio: return c.ReadCdAudio(drive, lba, count, buffer);
    case ReadMethodRead10Raw: return c.Read10Sized(drive, lba, count, kBlockAudio, buffer);
    case ReadMethodCdData: return c.ReadCd(drive, 0x10, lba, count, kBlockData, buffer);
    default: return c.Read10(drive, lba, count, buffer);
  }
}

}  // namespace tmx
