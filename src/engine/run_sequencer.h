// Runs the selected tests one after another on the notifications of the
// workers. Everything here runs on the main thread; workers report through
// the notifier, which delivers to handleTestEvent on the main thread: every
// event synchronously, except progress values, which are posted.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "drive/disc_probe.h"
#include "drive/drive_commands.h"
#include "drive/drive_table.h"
#include "engine/engine_host.h"
#include "engine/event_channel.h"
#include "engine/measurement_table.h"
#include "engine/run_steps.h"
#include "engine/sequencer_state.h"
#include "engine/worker_context.h"
#include "engine/worker_runner.h"
#include "platform/clock.h"
#include "results/app_settings.h"
#include "results/results_model.h"
#include "results/run_report.h"

namespace tmx {

struct EngineDeps {
  DriveCommands& commands;
  DiscProbe& probe;
  const DriveTable& drives;
  ResultsModel& results;
  const AppSettings& settings;
  Clock& clock;
  EngineHost& host;
};


class TestSequencer final : private RunSteps {
 public:
  TestSequencer(EngineDeps deps, Notifier& mainWindow);
  ~TestSequencer();

  // The Start button: starts a run of runMode, or acts as Stop during a run.
  void startRun();
  // A Run Test command: sets runMode, then as the Start button.
  void runTest(int testId);
  // The CD quality check command. Asks the host first when the drive says it
  // cannot report C2 errors; returns false when the check did not start.
  bool startQualityCheck();
  // Ends the worker at its next check.
  void requestStop() { state_.stopRequested = true; }
  void handleTestEvent(int event, long value);

  // Whether a run or the quality check holds the drive.
  bool busy() const { return running_; }
  // How the last run or quality check ended (Completed, Aborted, Cancelled);
  // None before the first and while one runs.
  RunOutcome lastOutcome() const { return outcome_; }

  // Program exit: asks the worker to stop, waits until it has left the drive,
  // and gives the drive back its 2048-byte blocks if a run switched them.
  void shutdown(const std::function<void()>& pumpEvents);

  SequencerState& state() override { return state_; }
  const SequencerState& state() const { return state_; }

  // Chooses the read command for the disc in the selected drive.
  void probeReadMethod(int32_t lba);

 private:
  // RunSteps, for the measurements' handlers.
  EngineHost& host() override { return deps_.host; }
  ResultsModel& results() override { return deps_.results; }
  DiscProbe& probe() override { return deps_.probe; }
  const AppSettings& settings() const override { return runSettings_; }
  void startWorker(std::function<void(WorkerContext&)> worker) override;
  void testCompleted(int testId) override;
  void abortRun(const std::string& reason) override;
  void finishRun() override;

  RunSteps& steps() { return *this; }
  bool wanted(int test) const;
  // A test the medium cannot take (CD audio on a DVD): said in a status line.
  bool skippedForMedium(const MeasurementInfo& m);
  // Progress, failures and the stop, whichever test sent them; false for a
  // test's own event.
  bool handleRunEvent(int event, long value);
  void readError(long senseCode);
  void endRun(RunOutcome outcome);
  // The Start button's caption follows this flag; nothing reads the caption back.
  void setRunning(bool running);
  void startTest(int test);
  MeasurementHandler& handlerOf(int test);

  EngineDeps deps_;
  Notifier& mainWindow_;
  SequencerState state_;
  // The options of the run in progress, copied at its start: the window may
  // change its own while a worker reads these.
  AppSettings runSettings_;
  WorkerContext context_;
  WorkerRunner workers_;
  // One per measurement in run order, then the CD quality check's.
  std::array<std::unique_ptr<MeasurementHandler>, 7> handlers_;
  bool running_ = false;
  RunOutcome outcome_ = RunOutcome::None;
};

}  // namespace tmx
