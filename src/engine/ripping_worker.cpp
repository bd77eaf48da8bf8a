#include "engine/ripping_worker.h"

namespace tmx {

bool RippingWorker::start(DriveCommands& commands, DriveAddress drive, Clock& clock, RippingDisc disc,
                          RippingOptions options, RippingHooks hooks, std::function<void()> ended) {
  if (runner_.anyRunning()) return false;
  runner_.joinAll();
  stop_.store(false);
  hooks.stop = &stop_;
  runner_.start([this, &commands, drive, &clock, disc, options, hooks = std::move(hooks), ended = std::move(ended)] {
    RippingCheck check(commands, drive, clock, disc, options, hooks);
    RippingFeatures f = check.run();
    {
      std::lock_guard lock(mutex_);
      result_ = std::move(f);
    }
    if (ended) ended();
  });
  return true;
}

RippingFeatures RippingWorker::result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

}  // namespace tmx
