// The ripping-features check off the caller's thread, as the measuring
// workers run: start it, take status lines, progress and each part's results
// from the hooks (called on the worker's thread: a window posts them to its
// own), stop it at any time; the check sets the drive's speed back however
// it ends.
//
//   RippingWorker worker;
//   worker.start(commands, drive, clock, disc, options, hooks);
//   worker.requestStop();     // Stop: the current command ends, then the restore
//   worker.wait();
//   const RippingFeatures& f = worker.result();
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

#include "engine/worker_runner.h"
#include "ripping/ripping_check.h"

namespace tmx {

class RippingWorker {
 public:
  ~RippingWorker() { wait(); }
  // False when a check is already running. `hooks.stop` is the worker's own.
  // `ended` runs on the worker's thread once result() holds the check's answers.
  bool start(DriveCommands& commands, DriveAddress drive, Clock& clock, RippingDisc disc, RippingOptions options,
             RippingHooks hooks, std::function<void()> ended = {});
  void requestStop() { stop_.store(true); }
  bool running() const { return runner_.anyRunning(); }
  // Must not be called from a hook.
  void wait() { runner_.joinAll(); }
  // The last check's results, complete once it ended.
  RippingFeatures result() const;

 private:
  WorkerRunner runner_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  RippingFeatures result_;
};

}  // namespace tmx
