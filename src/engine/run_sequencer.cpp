#include "engine/run_sequencer.h"

#include <cstdio>
#include <vector>

#include "drive/request_failure.h"
#include "engine/engine_ids.h"
#include "engine/measurement_table.h"
#include "engine/workers.h"
#include "results/format_string.h"
#include "results/result_texts.h"

namespace tmx {

TestSequencer::TestSequencer(EngineDeps deps, Notifier& mainWindow)
    : deps_(deps),
      mainWindow_(mainWindow),
      runSettings_(deps.settings),
      context_{deps.commands, deps.clock, state_, deps.results.record, runSettings_, [this](int event, long value) {
                 // A progress value only moves the bar: the worker need not wait for it,
                 // which keeps the hand-off out of the timed intervals.
                 if (event == EventProgress) {
                   mainWindow_.post(event, value);
                 } else {
                   mainWindow_.notify(event, value);
                 }
               }},
      handlers_{std::make_unique<TransferRateHandler>(steps()), std::make_unique<DaeQualityHandler>(steps()),
                std::make_unique<SeekTimesHandler>(steps()),    std::make_unique<CpuUtilizationHandler>(steps()),
                std::make_unique<BurstRateHandler>(steps()),    std::make_unique<SpinUpDownHandler>(steps()),
                std::make_unique<QualityCheckHandler>(steps())} {
  static_assert(kMeasurements[0].id == TestTransferRate && kMeasurements[1].id == TestDaeQuality &&
                    kMeasurements[2].id == TestSeekTimes && kMeasurements[3].id == TestCpuUtilization &&
                    kMeasurements[4].id == TestBurstRate && kMeasurements[5].id == TestSpinUpDown,
                "handlers_ follows the run order");
}

TestSequencer::~TestSequencer() {
  state_.stopRequested = true;
  workers_.joinAll();
}

MeasurementHandler& TestSequencer::handlerOf(int test) {
  return *handlers_[static_cast<size_t>(std::min(runOrderOf(test), static_cast<int>(handlers_.size()) - 1))];
}

bool TestSequencer::wanted(int test) const {
  const MeasurementInfo* m = measurementOf(test);
  return state_.runMode == test || (state_.runMode == RunAllSelected && m && runSettings_.*m->selected);
}

void TestSequencer::runTest(int testId) {
  // During a run the command acts as Stop; runMode changes either way, so a
  // test that finishes before the stop is seen ends the run there.
  state_.runMode = testId;
  startRun();
}

void TestSequencer::startRun() {
  EngineHost& host = deps_.host;
  TestResults& record = deps_.results.record;
  state_.qualityCheckActive = false;
  host.enableSaveStatus();
  record.qualityMap.fill(-1);
  if (busy()) {
    state_.stopRequested = true;
    return;
  }
  // A Stop that came after the last worker of the previous run has no one to
  // cancel; it must not cancel this run.
  state_.stopRequested = false;
  outcome_ = RunOutcome::None;
  const DriveAddress drive = deps_.drives.selectedDrive();
  if (state_.readMethod == ReadMethodRead10Raw) deps_.commands.ModeSelectBlockMode(drive, BlockModeData);
  deps_.results.resetResults();

  runSettings_ = deps_.settings;
  if (!anyMeasurementSelected(runSettings_)) {
    host.messageBox("No test selected");
    return;
  }
  record.media.medium = deps_.probe.medium();
  record.media.maxReadSpeedX = deps_.probe.maxReadSpeedX();
  record.discType = deps_.probe.classifyDisc(drive);
  if (record.discType >= 0 && !state_.stopRequested) record.discLength = deps_.probe.readDiscLength(drive);
  state_.discSectors = deps_.probe.storedLength();
  setRunning(true);
  probeReadMethod(0);
  host.enableSaveResults();
  // A Stop during the probe (seen from another thread) ends the run here.
  if (state_.stopRequested) {
    handleTestEvent(EventCancelled, 0);
    return;
  }

  const bool audio = isAudioReadMethod(state_.readMethod);
  bool skipped = false;
  for (const MeasurementInfo& m : kMeasurements) {
    if (!wanted(m.id)) continue;
    if (skippedForMedium(m)) {
      skipped = true;
    } else if (audio || !m.needsAudio) {
      startTest(m.id);
      return;
    }
  }
  // A DVD or BD has said why; a CD without audio tracks says it now.
  if (!skipped) host.messageBox("No audio CD inserted");
  state_.runMode = RunAllSelected;
  setRunning(false);
}

void TestSequencer::startTest(int test) {
  EngineHost& host = deps_.host;
  host.stopReadinessPoll();
  state_.testDrive = deps_.drives.selectedDrive();
  host.addStatusLine("Initializing");
  state_.preparedTest = test;
  if (!handlerOf(test).prepare()) {
    host.pushResultTexts();
    return;
  }
  startWorker(runPreparation);
}

void TestSequencer::startWorker(std::function<void(WorkerContext&)> worker) {
  context_.lastProgress = -1;  // each worker's bar starts afresh
  workers_.start([this, worker = std::move(worker)] { worker(context_); });
}

void TestSequencer::handleTestEvent(int event, long value) {
  if (!handleRunEvent(event, value)) {
    for (auto& handler : handlers_) {
      if (handler->handle(event, value)) break;
    }
  }
  deps_.host.pushResultTexts();
}

bool TestSequencer::handleRunEvent(int event, long value) {
  EngineHost& host = deps_.host;
  switch (event) {
    case EventProgress:
      deps_.results.progress = static_cast<int>(value);
      host.setProgress(static_cast<int>(value));
      return true;
    case EventQualityReadError:
      state_.qualityCheckActive = false;
      readError(value);
      return true;
    case EventReadError:
      readError(value);
      return true;
    case EventWorkerFailed:
      if (state_.preparedTest == PreparedQualityCheck) state_.qualityCheckActive = false;
      abortRun(state_.failureText);
      return true;
    case EventCancelled:
      host.addStatusLine("Test cancelled by user");
      deps_.results.progress = 0;
      host.setProgress(0);
      state_.stopRequested = false;
      endRun(RunOutcome::Cancelled);
      return true;
    default:
      return false;
  }
}

void TestSequencer::readError(long senseCode) {
  // A DVD or BD has no minutes: its place is the LBA.
  const bool cd = deps_.results.record.media.medium.kind == MediumKind::CD;
  const std::string place = cd ? FormatDiscTime(state_.currentLba) : formatString("LBA %d", state_.currentLba.load());
  const std::string line =
      formatString("Read error at %s (code %06X)", place.c_str(), static_cast<unsigned>(senseCode) & 0xFFFFFFu);
  // The worker waits in this notification: its failed request is still the transport's last.
  const AspiTransport& transport = deps_.commands.transport();
  const std::string cause = lastFailureCause(transport);
  if (cause.empty()) {
    abortRun(line);
  } else {
    // A command the kernel kept from the drive is no read error of the disc.
    if (!transport.lastFailure().kernelRefused) deps_.host.addStatusLine(line);
    abortRun(cause);
  }
}

void TestSequencer::testCompleted(int finishedTest) {
  if (state_.runMode != RunAllSelected) {
    endRun(RunOutcome::Completed);
    return;
  }
  const bool audio = isAudioReadMethod(state_.readMethod);
  for (const MeasurementInfo& m : kMeasurements) {
    if (runOrderOf(m.id) <= runOrderOf(finishedTest) || !(runSettings_.*m.selected)) continue;
    if (skippedForMedium(m) || (m.needsAudio && !audio)) continue;
    // Only the first test of a run has the drive preparation.
    handleTestEvent(m.startEvent, 0);
    return;
  }
  endRun(RunOutcome::Completed);
}

bool TestSequencer::skippedForMedium(const MeasurementInfo& m) {
  const Medium& medium = deps_.results.record.media.medium;
  if (!m.needsAudio || medium.kind == MediumKind::CD) return false;
  deps_.host.addStatusLine(formatString("%s skipped: it reads CD audio, and the disc is a %s",
                                        std::string(m.optionText).c_str(),
                                        (medium.profileName.empty() ? mediumName(medium.kind) : medium.profileName).c_str()));
  return true;
}

void TestSequencer::setRunning(bool running) {
  running_ = running;
  deps_.host.setStartCaption(running ? "Stop" : "Start");
}

void TestSequencer::endRun(RunOutcome outcome) {
  state_.runMode = RunAllSelected;
  outcome_ = outcome;
  setRunning(false);
  deps_.host.startReadinessPoll();
}

void TestSequencer::finishRun() {
  outcome_ = RunOutcome::Completed;
  setRunning(false);
}

void TestSequencer::abortRun(const std::string& reason) {
  EngineHost& host = deps_.host;
  host.addStatusLine(reason);
  host.addStatusLine("Test aborted");
  deps_.results.progress = 0;
  host.setProgress(0);
  endRun(RunOutcome::Aborted);
}

void TestSequencer::shutdown(const std::function<void()>& pumpEvents) {
  state_.stopRequested = true;
  // The worker may be waiting in a notification: keep handling until it leaves.
  while (workers_.anyRunning()) pumpEvents();
  workers_.joinAll();
  if (state_.readMethod == ReadMethodRead10Raw) {
    deps_.commands.ModeSelectBlockMode(state_.testDrive, BlockModeData);
  }
}

}  // namespace tmx
