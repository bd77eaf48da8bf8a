// The CD quality check's start on the main thread; its events are
// QualityCheckHandler's.
#include "engine/engine_ids.h"
#include "engine/run_sequencer.h"
#include "engine/workers.h"

namespace tmx {
bool TestSequencer::startQualityCheck() {
  EngineHost& host = deps_.host;
  TestResults& record = deps_.results.record;
  const DriveAddress drive = deps_.drives.selectedDrive();
  // A DVD or BD has no C2 pointers: its check is a read scan.
  record.media.medium = deps_.probe.medium();
  record.media.maxReadSpeedX = deps_.probe.maxReadSpeedX();
  const bool cd = record.media.medium.kind == MediumKind::CD;
  int c2 = 0;
  if (cd && deps_.commands.ModeSenseC2Support(drive, c2) == kAspiSuccess && c2 == 0 &&
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
  record.media.scan = ReadScan{};
  state_.discSectors = deps_.probe.storedLength();
  state_.qualityCheckActive = true;
  record.qualityMap.fill(-1);
  clearSpeedSamples(record);
  host.redrawGraph();
  host.drawEndMarker(deps_.probe.storedLength());
  startWorker(runPreparation);
  return true;
}

}  // namespace tmx
