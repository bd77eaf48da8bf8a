#include "cli/interrupt_poll.h"

#include <pthread.h>

#include <ctime>

namespace tmx::cli {
namespace {

sigset_t interruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void blockInterrupts() {
  const sigset_t set = interruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

InterruptPoll::InterruptPoll() : set_(interruptSignals()) {
  pthread_sigmask(SIG_BLOCK, &set_, &old_);
  watcher_ = std::thread([this] { watch(); });
}

InterruptPoll::~InterruptPoll() {
  stopping_ = true;
  watcher_.join();
  // A signal that came after the watcher's last look must not be delivered
  // by the unblocking below.
  timespec zero{};
  while (sigtimedwait(&set_, nullptr, &zero) > 0) interrupted_ = true;
  pthread_sigmask(SIG_SETMASK, &old_, nullptr);
}

void InterruptPoll::onInterrupt(std::function<void()> action) {
  std::lock_guard lock(actionMutex_);
  action_ = std::move(action);
}

void InterruptPoll::watch() {
  const timespec tenth{0, 100'000'000};
  while (!stopping_) {
    if (sigtimedwait(&set_, nullptr, &tenth) <= 0) continue;
    interrupted_ = true;
    std::lock_guard lock(actionMutex_);
    if (action_) action_();
  }
}

}  // namespace tmx::cli
