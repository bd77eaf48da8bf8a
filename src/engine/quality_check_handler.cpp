#include "engine/quality_check.h"
#include "results/format_string.h"

namespace tmx {

bool QualityCheckHandler::handle(int event, long) {
  if (event == EventQualityStart) {
    run_.host().addStatusLine("Starting CD quality check");
    run_.startWorker([this](WorkerContext& ctx) { runQualityCheck(ctx, phase_); });
  } else if (event == EventQualityBlock) {
    blockDone();
  } else if (event == EventQualityDone) {
    checkDone();
  } else {
    return false;
  }
  return true;
}

void QualityCheckHandler::blockDone() {
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

}  // namespace tmx
