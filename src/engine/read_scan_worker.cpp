#include <algorithm>
#include <vector>

#include "engine/engine_ids.h"
#include "engine/medium_plan.h"
#include "engine/quality_check.h"

namespace tmx {
namespace {

constexpr size_t kMaxFailedBlocks = 10'000;

// Only what the disc cannot give is tried again: a medium error. A drive
// that went away, a unit attention or a hang ends the scan.
bool worthRetrying(const DriveFailure& failure) {
  return failure.kind == FailureKind::Sense && (failure.senseKey == 0x03 || failure.senseKey == 0x04);
}

enum class Block { Read, Unreadable, Ended };

// One block, with its retries; `ms` is the latency of the read that worked.
Block readBlock(WorkerContext& ctx, int64_t lba, int32_t count, std::vector<uint8_t>& buffer, double& ms,
                FailedBlock& failed) {
  for (int attempt = 0; attempt <= kScanRetries; ++attempt) {
    const int64_t t0 = ctx.clock.counter();
    const AspiStatus status = readSectors(ctx, static_cast<uint32_t>(lba), static_cast<uint32_t>(count), buffer.data());
    ms = ctx.seconds(t0, ctx.clock.counter()) * 1000.0;
    if (status == kAspiSuccess) {
      failed.recovered = attempt > 0;
      return Block::Read;
    }
    if (!worthRetrying(ctx.commands.transport().lastFailure())) {
      commandEndsWorker(ctx, status, static_cast<int32_t>(lba));
      return Block::Ended;
    }
    failed.retries = attempt;
    if (ctx.state.stopRequested) break;
  }
  return Block::Unreadable;
}

}  // namespace

void runReadScan(WorkerContext& ctx) {
  ReadScan& scan = ctx.results.media.scan;
  const int64_t capacity = ctx.results.media.medium.capacitySectors;
  const int32_t block = mediumPlanFor(ctx.results.media.medium).blockSectors;
  std::vector<uint8_t> buffer(static_cast<size_t>(block) * kBlockData);
  scan = ReadScan{};
  const uint32_t start = ctx.clock.tickMs();
  int cell = 0;
  for (int64_t lba = 0; lba < capacity; lba += block) {
    ctx.state.currentLba = static_cast<int32_t>(lba);
    const int32_t count = static_cast<int32_t>(std::min<int64_t>(block, capacity - lba));
    double ms = 0;
    FailedBlock failed{lba, count, 0, false};
    const Block outcome = readBlock(ctx, lba, count, buffer, ms, failed);
    if (outcome == Block::Ended) return;
    if (outcome == Block::Read) scan.countRead(lba, capacity, ms);
    if (outcome == Block::Unreadable) scan.countUnreadable(lba, capacity, count);
    // A disc that is one long scratch keeps its count, not every block.
    if ((outcome == Block::Unreadable || failed.recovered) && scan.failedBlocks.size() < kMaxFailedBlocks) {
      scan.failedBlocks.push_back(failed);
    }
    if (ctx.state.stopRequested) {
      ctx.notify(EventCancelled, 0);
      return;
    }
    ctx.progress(static_cast<long>((lba + count) * 100 / capacity));
    const int next = scanCellOf(lba + count, capacity);
    for (; cell < next || (lba + count >= capacity && cell < kScanMapCells); ++cell) ctx.notify(EventQualityBlock, cell);
  }
  scan.elapsedMs = static_cast<int32_t>(ctx.clock.tickMs() - start);
  ctx.notify(EventQualityDone, 0);
}

}  // namespace tmx
