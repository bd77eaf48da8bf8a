// What a measurement's handler may do to the run it belongs to. The sequencer
// implements it; every call comes from the main thread, inside the handling
// of a worker's event or of a start.
#pragma once

#include <functional>
#include <string>

#include "drive/disc_probe.h"
#include "engine/engine_host.h"
#include "engine/sequencer_state.h"
#include "engine/worker_context.h"
#include "results/app_settings.h"
#include "results/results_model.h"

namespace tmx {

class RunSteps {
 public:
  virtual ~RunSteps() = default;

  virtual EngineHost& host() = 0;
  virtual ResultsModel& results() = 0;
  virtual SequencerState& state() = 0;
  virtual DiscProbe& probe() = 0;
  // The options the run started with.
  virtual const AppSettings& settings() const = 0;

  // Starts the next worker of the test (the previous one is leaving).
  virtual void startWorker(std::function<void(WorkerContext&)> worker) = 0;
  // The test has its figures: the next selected test, or the end of the run.
  virtual void testCompleted(int testId) = 0;
  // Ends the run with the reason and "Test aborted".
  virtual void abortRun(const std::string& reason) = 0;
  // Ends the run as it stands (the CD quality check's own end).
  virtual void finishRun() = 0;
};

// One measurement's decisions on the main thread: what happens before its
// drive preparation, at its start event and at each event of its workers.
// It keeps the counters of its phases; its workers get them from it.
class MeasurementHandler {
 public:
  explicit MeasurementHandler(RunSteps& run) : run_(run) {}
  virtual ~MeasurementHandler() = default;
  MeasurementHandler(const MeasurementHandler&) = delete;
  MeasurementHandler& operator=(const MeasurementHandler&) = delete;

  // Set-up when a run begins with this test, before the drive preparation;
  // false when the test cannot run (the handler has ended the run).
  virtual bool prepare() { return true; }
  // An event of this test, its start event included; false when the event
  // is not this test's.
  virtual bool handle(int event, long value) = 0;

 protected:
  RunSteps& run_;
};

}  // namespace tmx
