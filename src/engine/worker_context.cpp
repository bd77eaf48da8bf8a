#include "engine/worker_context.h"

#include <vector>

#include "engine/engine_ids.h"

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

bool readForFiveSeconds(WorkerContext& ctx, int32_t& lba) {
  std::vector<uint8_t> buffer(25 * kBlockAudio);
  const uint32_t start = ctx.clock.tickMs();
  uint32_t now = start;
  while (now - start < 5000) {
    lba = wrapToDisc(ctx.state.discSectors, lba, 25);
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), 25, buffer.data());
    if (status != kAspiSuccess) {
      commandEndsWorker(ctx, status, lba);
      return false;
    }
    lba += 25;
    now = ctx.clock.tickMs();
    if (commandEndsWorker(ctx, status, lba)) return false;
    ctx.progress(static_cast<long>(static_cast<double>(now - start) / 5000.0 * 100.0));
  }
  return true;
}

uint32_t blockSizeOf(int readMethod) {
  switch (readMethod) {
    case ReadMethodCdda:
    case ReadMethodCdAudio:
    case ReadMethodRead10Raw: return kBlockAudio;
    default: return kBlockData;
  }
}

CdbRequest readRequest(int readMethod, uint32_t lba, uint32_t count, bool wide) {
  // A DVD's or BD's LBAs pass 24 bits (a BD-50 ends past 16,777,215).
  if (wide && readMethod == ReadMethodRead12) return read12WideCdb(lba, count);
  if (wide) return read10WideCdb(lba, count);
  CdbRequest request;
  switch (readMethod) {
    case ReadMethodRead12: request = read12Cdb(lba, count); break;
    case ReadMethodCdda: request = readCddaCdb(lba, count); break;
    case ReadMethodCdAudio: request = readCdAudioCdb(lba, count); break;
    case ReadMethodRead10Raw: request = read10Cdb(lba, count, kBlockAudio); break;
    case ReadMethodCdData: request = readCdCdb(0x10, lba, count, kBlockData); break;
    default: request = read10Cdb(lba, count); break;
  }
  request.transferLength = count * blockSizeOf(readMethod);
  return request;
}

AspiStatus readSectors(WorkerContext& ctx, uint32_t lba, uint32_t count, uint8_t* buffer) {
  const bool wide = ctx.results.media.medium.kind != MediumKind::CD;
  return ctx.commands.send(ctx.state.testDrive, readRequest(ctx.state.readMethod, lba, count, wide), buffer);
}

}  // namespace tmx
