#include "cli/interrupt_poll.h"

#include <pthread.h>

#include <csignal>
#include <ctime>

namespace tmx::cli {
namespace {

sigset_t interruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

bool isInterrupt(int signal) { return signal == SIGINT || signal == SIGTERM || signal == SIGHUP; }

}  // namespace

void blockInterrupts() {
  const sigset_t set = interruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

// SIGUSR1 sent to the watcher alone wakes it to end; the calling thread
// blocks it too only while it starts the watcher, which inherits the mask.
InterruptPoll::InterruptPoll() : set_(interruptSignals()) {
  sigset_t withWake = set_;
  sigaddset(&withWake, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &withWake, &old_);
  watcher_ = std::thread([this] { watch(); });
  sigset_t interruptsOnly = old_;
  sigorset(&interruptsOnly, &interruptsOnly, &set_);
  pthread_sigmask(SIG_SETMASK, &interruptsOnly, nullptr);
}

InterruptPoll::~InterruptPoll() {
  stopping_ = true;
  pthread_kill(watcher_.native_handle(), SIGUSR1);
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

void InterruptPoll::trigger() {
  interrupted_ = true;
  std::lock_guard lock(actionMutex_);
  if (action_) action_();
}

void InterruptPoll::watch() {
  sigset_t waitFor = set_;
  sigaddset(&waitFor, SIGUSR1);
  const timespec second{1, 0};
  while (!stopping_) {
    const int signal = sigtimedwait(&waitFor, nullptr, &second);
    if (!isInterrupt(signal)) continue;
    interrupted_ = true;
    std::lock_guard lock(actionMutex_);
    if (action_) action_();
  }
}

}  // namespace tmx::cli
