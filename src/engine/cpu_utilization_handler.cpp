#include "engine/cpu_utilization.h"
#include "engine/measurement_table.h"
#include "results/format_string.h"
#include "results/result_texts.h"

namespace tmx {

bool CpuUtilizationHandler::handle(int event, long value) {
  if (event == EventCpuStart) {
    run_.host().addStatusLine(measurementOf(TestCpuUtilization)->startedText);
    run_.host().addStatusLine("Starting 1X test");
    phase_.speed = 1;
    startPhase();
  } else if (event == EventCpuPhaseDone) {
    phaseDone(value);
  } else {
    return false;
  }
  return true;
}

void CpuUtilizationHandler::startPhase() {
  run_.startWorker([this](WorkerContext& ctx) { runCpuPhase(ctx, phase_); });
}

void CpuUtilizationHandler::phaseDone(long value) {
  const int32_t percent = static_cast<int32_t>(value);
  const int index = phase_.speed == 1 ? 0 : phase_.speed == 2 ? 1 : phase_.speed == 4 ? 2 : 3;
  // A speed the drive could not be set to stays not measured.
  const bool measured = value != kCpuNotMeasured;
  run_.results().texts.cpuTexts[static_cast<size_t>(index)] = measured ? cpuTextLive(percent) : std::string();
  run_.results().record.cpuUsage[static_cast<size_t>(index)] = measured ? percent : -1;
  if (!measured) {
    const char* medium = mediumName(run_.results().record.media.medium.kind);
    run_.host().addStatusLine(formatString("CPU usage at %dX not measured: the drive reads this %s slower than %dX",
                                           phase_.speed, medium, phase_.speed));
  }
  if (phase_.speed < 8) {
    phase_.speed *= 2;
    run_.host().addStatusLine(formatString("Starting %dX test", phase_.speed));
    startPhase();
  } else {
    run_.host().addStatusLine(measurementOf(TestCpuUtilization)->completedText);
    run_.testCompleted(TestCpuUtilization);
  }
}

}  // namespace tmx
