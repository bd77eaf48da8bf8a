#include "engine/measurement_table.h"
#include "engine/spin_up_down.h"
#include "results/format_string.h"

namespace tmx {

bool SpinUpDownHandler::prepare() {
  run_.state().currentLba = 0;
  return true;
}

bool SpinUpDownHandler::handle(int event, long value) {
  if (event == EventSpinStart) {
    run_.host().addStatusLine(measurementOf(TestSpinUpDown)->startedText);
    run_.startWorker([this](WorkerContext& ctx) { runSpin(ctx, phase_); });
  } else if (event == EventSpinPhaseDone) {
    phaseDone(value);
  } else {
    return false;
  }
  return true;
}

// A time not measured keeps the -1.0 marker and shows as N/A after its reason.
void SpinUpDownHandler::phaseDone(long value) {
  EngineHost& host = run_.host();
  TestResults& record = run_.results().record;
  const bool measured = value != kSpinNotMeasured;
  const double seconds = measured ? static_cast<double>(value) / 1000.0 : -1.0;
  if (!measured) host.addStatusLine(run_.state().failureText);
  if (!phase_.down) {
    record.spinUpTime = seconds;
    host.addStatusLine(measured ? formatString("Spin up time: %3.1f seconds", record.spinUpTime)
                                : std::string("Spin up time: N/A"));
    host.addStatusLine("Starting spin down time test");
    return;
  }
  record.spinDownTime = seconds;
  const std::string line = measured ? formatString("Spin down time: %3.1f seconds", record.spinDownTime)
                                    : std::string("Spin down time: N/A");
  if (spinTimeMeasured(record.spinUpTime) && spinTimeMeasured(record.spinDownTime)) {
    host.addStatusLine(line);
    host.addStatusLine(measurementOf(TestSpinUpDown)->completedText);
    run_.testCompleted(TestSpinUpDown);
  } else {
    // The reasons are already listed; a test short of its figures did not complete.
    run_.abortRun(line);
  }
}

}  // namespace tmx
