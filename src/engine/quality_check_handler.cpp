#include "engine/quality_check.h"
#include <algorithm>

#include "results/format_string.h"

namespace tmx {

bool QualityCheckHandler::cd() const { return run_.results().record.media.medium.kind == MediumKind::CD; }

bool QualityCheckHandler::handle(int event, long value) {
  if (event == EventQualityStart) {
    if (cd()) {
      run_.host().addStatusLine("Starting CD quality check");
      run_.startWorker([this](WorkerContext& ctx) { runQualityCheck(ctx, phase_); });
    } else {
      run_.host().addStatusLine("Starting read scan");
      run_.startWorker(runReadScan);
    }
  } else if (event == EventQualityBlock) {
    blockDone(value);
  } else if (event == EventQualityDone) {
    if (cd()) {
      checkDone();
    } else {
      scanDone();
    }
  } else {
    return false;
  }
  return true;
}

void QualityCheckHandler::blockDone(long cell) {
  if (!cd()) {
    const ReadScan& scan = run_.results().record.media.scan;
    if (cell >= 0 && cell < kScanMapCells) run_.host().markScanCell(static_cast<int>(cell), scan.map[static_cast<size_t>(cell)]);
    return;
  }
  const int32_t errors = phase_.blockErrors;
  const int32_t block = run_.state().currentLba / 900;
  const int errorClass = qualityClass(errors);
  // Blocks beyond the map (discs over 450,000 sectors) count only in the total.
  if (block >= 0 && block < kQualityBlockCount) {
    run_.results().record.qualityMap[static_cast<size_t>(block)] = errorClass;
    run_.host().markQualityBlock(block, errorClass);
  }
  phase_.blockErrors = 0;
}

void QualityCheckHandler::checkDone() {
  EngineHost& host = run_.host();
  const TestResults& record = run_.results().record;
  run_.finishRun();
  host.addStatusLine("CD quality check completed");
  const double sectors = run_.state().discSectors;
  const double bytes = sectors * 2352.0;
  host.addStatusLine(formatString("%ld errors (%5.3f%%)", static_cast<long>(record.qualityErrors),
                                  bytes > 0 ? record.qualityErrors * 100.0 / bytes : 0.0));
  // A check too short for the tick count to move reads as taking 1 ms.
  const double ms = phase_.elapsedMs > 0 ? phase_.elapsedMs : 1.0;
  host.addStatusLine(formatString("Average read speed: %5.2fX", sectors / ms * 1000.0 / 75.0));
  host.startReadinessPoll();
}

void QualityCheckHandler::scanDone() {
  EngineHost& host = run_.host();
  const MediumResults& media = run_.results().record.media;
  const ReadScan& scan = media.scan;
  run_.finishRun();
  host.addStatusLine("Read scan completed");
  host.addStatusLine(formatString("%lld unreadable sectors, %zu blocks read again", static_cast<long long>(scan.unreadableSectors),
                                  scan.failedBlocks.size()));
  const auto& b = scan.latencyBuckets;
  host.addStatusLine(formatString("Reads under 3 ms: %lld, 10 ms: %lld, 50 ms: %lld, 150 ms: %lld, 500 ms: %lld, slower: %lld",
                                  static_cast<long long>(b[0]), static_cast<long long>(b[1]), static_cast<long long>(b[2]),
                                  static_cast<long long>(b[3]), static_cast<long long>(b[4]), static_cast<long long>(b[5])));
  const double seconds = std::max(scan.elapsedMs, 1) / 1000.0;
  const double bytes = static_cast<double>(media.medium.capacitySectors) * 2048.0;
  host.addStatusLine(formatString("Average read speed: %5.2fX", bytes / seconds / media.medium.oneXBytesPerSecond()));
  host.startReadinessPoll();
}

}  // namespace tmx
