#include "engine/test_sequencer.h"

#include <cstdio>
#include <vector>

#include "engine/test_ids.h"
#include "drive/request_failure.h"
#include "engine/workers.h"
#include "results/format_string.h"
#include "results/result_texts.h"

namespace tmx {
namespace {

constexpr int kSeekMinimumSectors = 315000;

bool selectedByOption(const AppSettings& s, int test) {
  switch (test) {
    case TestTransferRate: return s.runTransferRate;
    case TestDaeQuality: return s.runDaeQuality;
    case TestSeekTimes: return s.runSeekTimes;
    case TestCpuUtilization: return s.runCpuUtilization;
    case TestBurstRate: return s.runBurstRate;
    case TestSpinUpDown: return s.runSpinUpDown;
    default: return false;
  }
}

}  // namespace

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
               }} {}

TestSequencer::~TestSequencer() {
  state_.stopRequested = true;
  workers_.joinAll();
}

bool TestSequencer::wanted(int test) const {
  return state_.runMode == test || (state_.runMode == RunAllSelected && selectedByOption(runSettings_, test));
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
  const AppSettings& s = runSettings_;
  if (!s.runTransferRate && !s.runSeekTimes && !s.runCpuUtilization && !s.runBurstRate && !s.runDaeQuality &&
      !s.runSpinUpDown) {
    host.messageBox("No test selected");
    return;
  }
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
  if (wanted(TestTransferRate)) {
    startTest(TestTransferRate);
  } else if (wanted(TestDaeQuality) && audio) {
    startTest(TestDaeQuality);
  } else if (wanted(TestSeekTimes)) {
    startTest(TestSeekTimes);
  } else if (wanted(TestCpuUtilization)) {
    startTest(TestCpuUtilization);
  } else if (wanted(TestBurstRate)) {
    startTest(TestBurstRate);
  } else if (wanted(TestSpinUpDown)) {
    startTest(TestSpinUpDown);
  } else {
    host.messageBox("No audio CD inserted");
    state_.runMode = RunAllSelected;
    setRunning(false);
  }
}

void TestSequencer::startTest(int test) {
  EngineHost& host = deps_.host;
  TestResults& record = deps_.results.record;
  host.stopReadinessPoll();
  state_.testDrive = deps_.drives.selectedDrive();
  host.addStatusLine("Initializing");
  state_.preparedTest = test;
  if (test == TestTransferRate) {
    const int32_t length = deps_.probe.storedLength();
    record.lastZone = lastZoneFor(length);
    record.discLength = length;
    host.drawEndMarker(record.lastZone * kSectorsPerZone);
    state_.currentLba = 0;
    state_.currentZone = -1;
    state_.zoneReads = 360.0 / runSettings_.testLength;
    state_.zoneRateScale = 600.0 / runSettings_.testLength;
    record.speedSamples.fill(-1.0);
    deps_.results.texts.speedLabelText = "Current";
    host.pushResultTexts();
    host.redrawGraph();
  } else if (test == TestSeekTimes) {
    state_.seekPhase = 0;
    if (deps_.probe.readDiscLength(state_.testDrive) < kSeekMinimumSectors) {
      handleTestEvent(EventDiscTooShort, 0);
      return;
    }
  } else if (test == TestSpinUpDown) {
    state_.currentLba = 0;
  }
  startWorker(runPreparation);
}

void TestSequencer::startWorker(void (*worker)(WorkerContext&)) {
  context_.lastProgress = -1;  // each worker's bar starts afresh
  workers_.start([this, worker] { worker(context_); });
}

void TestSequencer::handleTransferZone() {
  TestResults& record = deps_.results.record;
  ResultTexts& texts = deps_.results.texts;
  EngineHost& host = deps_.host;
  if (state_.currentZone < 0) {
    host.addStatusLine("Starting transfer rate test");
  } else {
    const double sample = record.speedSamples[static_cast<size_t>(state_.currentZone)];
    host.plotZoneSample(state_.currentZone, sample);
    const std::string t = sampleText(sample);
    texts.averageText = t;
    if (state_.currentZone == 0) texts.startText = t;
    if (state_.currentZone == record.lastZone) {
      texts.endText = t;
      texts.readingTypeText = std::string(readingType(record));
    }
  }
  if (state_.currentZone < record.lastZone) {
    ++state_.currentZone;
    startWorker(runTransferZone);
    return;
  }
  // A disc shorter than one zone measured nothing: the average stays empty.
  texts.speedLabelText = "Average";
  const auto average = averageSpeed(record);
  texts.averageText = average ? speedText(*average) : std::string();
  host.addStatusLine("Transfer rate test completed");
  continueRun(TestTransferRate);
}

void TestSequencer::handleSeekStart() {
  EngineHost& host = deps_.host;
  host.addStatusLine("Starting seek test");
  host.addStatusLine("Starting random seek test");
  state_.seekPhase = 0;
  state_.seekOpcode = 0;
  if (deps_.probe.readDiscLength(state_.testDrive) >= kSeekMinimumSectors) {
    startWorker(runSeekPhase);
  } else {
    handleTestEvent(EventDiscTooShort, 0);
  }
}

void TestSequencer::handleTestEvent(int event, long value) {
  EngineHost& host = deps_.host;
  TestResults& record = deps_.results.record;
  ResultTexts& texts = deps_.results.texts;
  switch (event) {
    case EventProgress:
      deps_.results.progress = static_cast<int>(value);
      host.setProgress(static_cast<int>(value));
      break;
    case EventTransferZone:
      handleTransferZone();
      break;
    case EventSeekStart:
      handleSeekStart();
      break;
    case EventSeekPhaseDone: {
      const int32_t ms = static_cast<int32_t>(value / 100);
      const std::string t = seekText(ms);
      if (state_.seekPhase == 0) {
        texts.randomSeekText = t;
        record.randomSeekMs = ms;
        state_.seekPhase = 1;
        host.addStatusLine("Starting 1/3 seek test");
        startWorker(runSeekPhase);
      } else if (state_.seekPhase == 1) {
        texts.oneThirdSeekText = t;
        record.oneThirdSeekMs = ms;
        state_.seekPhase = 2;
        host.addStatusLine("Starting full seek test");
        startWorker(runSeekPhase);
      } else {
        texts.fullSeekText = t;
        record.fullSeekMs = ms;
        host.addStatusLine("Seek test completed");
        continueRun(TestSeekTimes);
      }
      break;
    }
    case EventCpuStart:
      host.addStatusLine("Starting CPU utilization test");
      host.addStatusLine("Starting 1X test");
      state_.cpuTestSpeed = 1;
      startWorker(runCpuPhase);
      break;
    case EventCpuPhaseDone: {
      const int32_t percent = static_cast<int32_t>(value);
      const int index = state_.cpuTestSpeed == 1 ? 0 : state_.cpuTestSpeed == 2 ? 1 : state_.cpuTestSpeed == 4 ? 2 : 3;
      texts.cpuTexts[static_cast<size_t>(index)] = cpuTextLive(percent);
      record.cpuUsage[static_cast<size_t>(index)] = percent;
      if (state_.cpuTestSpeed < 8) {
        state_.cpuTestSpeed *= 2;
        host.addStatusLine(formatString("Starting %dX test", state_.cpuTestSpeed));
        startWorker(runCpuPhase);
      } else {
        host.addStatusLine("CPU utilization test completed");
        continueRun(TestCpuUtilization);
      }
      break;
    }
    case EventBurstStart:
      host.addStatusLine("Starting burst rate test");
      startWorker(runBurst);
      break;
    case EventBurstDone:
      record.burstRate = static_cast<int32_t>((value + 1023) / 1024);
      texts.burstText = burstText(record.burstRate);
      host.addStatusLine("Burst rate test completed");
      continueRun(TestBurstRate);
      break;
    case EventDaeStart:
      host.addStatusLine("Starting DAE quality test - start");
      startWorker(runDaeTest);
      break;
    case EventDaeProgress:
      host.addStatusLine(formatString("Errors: %ld", static_cast<long>(record.daeErrors)));
      if (value == 0) {
        host.addStatusLine("Starting DAE quality test - center");
      } else if (value == 1) {
        host.addStatusLine("Starting DAE quality test - end");
      } else if (value == 2) {
        host.addStatusLine("Starting advanced DAE quality test");
      } else if (value == 9) {
        host.addStatusLine("DAE quality test completed");
        texts.daeScoreText = daeScoreText(record.daeScore);
        texts.accurateStreamBox = record.accurateStream == 1;
        continueRun(TestDaeQuality);
      }
      break;
    case EventSpinStart:
      host.addStatusLine("Starting spin up time test");
      startWorker(runSpin);
      break;
    case EventSpinPhaseDone: {
      // A time not measured keeps the -1.0 marker and shows as N/A after its reason.
      const bool measured = value != kSpinNotMeasured;
      const double seconds = measured ? static_cast<double>(value) / 1000.0 : -1.0;
      if (!measured) host.addStatusLine(state_.failureText);
      if (!state_.spinPhaseDown) {
        record.spinUpTime = seconds;
        host.addStatusLine(measured ? formatString("Spin up time: %3.1f seconds", record.spinUpTime)
                                    : std::string("Spin up time: N/A"));
        host.addStatusLine("Starting spin down time test");
      } else {
        record.spinDownTime = seconds;
        const std::string line = measured ? formatString("Spin down time: %3.1f seconds", record.spinDownTime)
                                          : std::string("Spin down time: N/A");
        if (spinTimeMeasured(record.spinUpTime) && spinTimeMeasured(record.spinDownTime)) {
          host.addStatusLine(line);
          host.addStatusLine("Spin up/down test completed");
          endRun(RunOutcome::Completed);
        } else {
          // The reasons are already listed; a test short of its figures did not complete.
          abortRun(line);
        }
      }
      break;
    }
    case EventQualityStart:
      host.addStatusLine("Starting CD quality check");
      startWorker(runQualityCheck);
      break;
    case EventQualityBlock: {
      const int32_t errors = state_.qualityBlockErrors;
      const int32_t block = state_.currentLba / 900;
      const int errorClass = qualityClass(errors);
      // Blocks beyond the map (discs over 450,000 sectors) count only in the total.
      if (block >= 0 && block < kQualityBlockCount) {
        record.qualityMap[static_cast<size_t>(block)] = errorClass;
        host.markQualityBlock(block, errorClass);
      }
      state_.qualityBlockErrors = 0;
      break;
    }
    case EventQualityDone:
      handleQualityDone();
      break;
    case EventQualityReadError:
      state_.qualityCheckActive = false;
      [[fallthrough]];
    case EventReadError: {
      const std::string line = formatString("Read error at %s (code %06X)", FormatDiscTime(state_.currentLba).c_str(),
                                            static_cast<unsigned>(value) & 0xFFFFFFu);
      // The worker waits in this notification: its failed request is still the transport's last.
      const AspiTransport& transport = deps_.commands.transport();
      const std::string cause = lastFailureCause(transport);
      if (cause.empty()) {
        abortRun(line);
      } else {
        // A command the kernel kept from the drive is no read error of the disc.
        if (!refusedByKernel(transport.lastRequest())) host.addStatusLine(line);
        abortRun(cause);
      }
      break;
    }
    case EventDiscTooShort:
      abortRun("Disc capacity must be at least 70 min for the seek test");
      break;
    case EventWorkerFailed:
      if (state_.preparedTest == PreparedQualityCheck) state_.qualityCheckActive = false;
      abortRun(state_.failureText);
      break;
    case EventDaeNotPossible:
      abortRun("Unable to run advanced DAE test, please use another disc");
      break;
    case EventCancelled:
      host.addStatusLine("Test cancelled by user");
      deps_.results.progress = 0;
      host.setProgress(0);
      state_.stopRequested = false;
      endRun(RunOutcome::Cancelled);
      break;
    default:
      break;
  }
  host.pushResultTexts();
}

void TestSequencer::continueRun(int finishedTest) {
  if (state_.runMode != RunAllSelected) {
    endRun(RunOutcome::Completed);
    return;
  }
  struct Candidate {
    int test;
    int event;
  };
  static constexpr Candidate kOrder[] = {{TestDaeQuality, EventDaeStart},   {TestSeekTimes, EventSeekStart},
                                         {TestCpuUtilization, EventCpuStart}, {TestBurstRate, EventBurstStart},
                                         {TestSpinUpDown, EventSpinStart}};
  // Run order: transfer rate, DAE, seek, CPU, burst, spin.
  auto orderOf = [](int test) {
    switch (test) {
      case TestTransferRate: return 0;
      case TestDaeQuality: return 1;
      case TestSeekTimes: return 2;
      case TestCpuUtilization: return 3;
      case TestBurstRate: return 4;
      default: return 5;
    }
  };
  for (const Candidate& c : kOrder) {
    if (orderOf(c.test) <= orderOf(finishedTest)) continue;
    if (!selectedByOption(runSettings_, c.test)) continue;
    if (c.test == TestDaeQuality && !isAudioReadMethod(state_.readMethod)) continue;
    handleTestEvent(c.event, 0);
    return;
  }
  endRun(RunOutcome::Completed);
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
