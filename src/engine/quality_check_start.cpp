// The CD quality check's start and end on the main thread; the reading is
// runQualityCheck's.
#include "engine/test_ids.h"
#include "engine/test_sequencer.h"
#include "engine/workers.h"
#include "results/format_string.h"

namespace tmx {
bool TestSequencer::startQualityCheck() {
  EngineHost& host = deps_.host;
  TestResults& record = deps_.results.record;
  const DriveAddress drive = deps_.drives.selectedDrive();
  int c2 = 0;
  if (deps_.commands.ModeSenseC2Support(drive, c2) == kAspiSuccess && c2 == 0 &&
      !host.askYesNo("This drive seems incapable of returning error information\r\nContinue anyway?")) {
    return false;
  }
  host.stopReadinessPoll();
  state_.stopRequested = false;
  state_.currentLba = 0;
  state_.testDrive = drive;
  host.addStatusLine("Initializing");
  state_.preparedTest = PreparedQualityCheck;
  outcome_ = RunOutcome::None;
  setRunning(true);
  host.enableSaveStatus();
  probeReadMethod(0);
  if (state_.stopRequested) {
    handleTestEvent(EventCancelled, 0);
    return true;
  }
  record.qualityErrors = 0;
  state_.discSectors = deps_.probe.storedLength();
  state_.qualityCheckActive = true;
  record.qualityMap.fill(-1);
  record.speedSamples.fill(-1.0);
  host.redrawGraph();
  host.drawEndMarker(deps_.probe.storedLength());
  startWorker(runPreparation);
  return true;
}

void TestSequencer::handleQualityDone() {
  EngineHost& host = deps_.host;
  const TestResults& record = deps_.results.record;
  outcome_ = RunOutcome::Completed;
  setRunning(false);
  host.addStatusLine("CD quality check completed");
  const double sectors = state_.discSectors;
  const double bytes = sectors * 2352.0;
  host.addStatusLine(formatString("%ld errors (%5.3f%%)", static_cast<long>(record.qualityErrors),
                            bytes > 0 ? record.qualityErrors * 100.0 / bytes : 0.0));
  // A check too short for the tick count to move reads as taking 1 ms.
  const double ms = state_.qualityElapsedMs > 0 ? state_.qualityElapsedMs : 1.0;
  host.addStatusLine(formatString("Average read speed: %5.2fX", sectors / ms * 1000.0 / 75.0));
  host.startReadinessPoll();
}

}  // namespace tmx
