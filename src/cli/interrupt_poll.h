// Ctrl-C (SIGINT), SIGTERM and SIGHUP (the terminal went away) for the
// headless front end, without a signal handler or a global flag. The signals
// are blocked in every thread; one watcher thread takes them with
// sigtimedwait, latches them and calls the stop action at once, so an
// interrupt is seen at once even while the main thread waits on a drive.
// SIGPIPE is ignored: a closed output shows as a write error, which the
// front end turns into the same stop with trigger().
//
//   blockInterrupts();            // first thing in main: no early Ctrl-C kills
//   InterruptPoll interrupt;
//   interrupt.onInterrupt([&] { sequencer.requestStop(); });
//   while (busy) { ...; if (interrupt.interrupted()) sequencer.requestStop(); }
//   interrupt.onInterrupt(nullptr);  // before what the action uses goes away
#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace tmx::cli {

// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread and the threads it
// starts later, and ignores SIGPIPE. A signal that arrives while blocked
// stays pending instead of killing the process, so a run that has ended
// still exits with its status.
void blockInterrupts();

class InterruptPoll {
 public:
  InterruptPoll();
  // Stops the watcher, takes any signal still pending and restores the mask
  // the constructor found.
  ~InterruptPoll();
  InterruptPoll(const InterruptPoll&) = delete;
  InterruptPoll& operator=(const InterruptPoll&) = delete;

  // Whether a signal came (or trigger was called) since construction. Never
  // resets.
  bool interrupted() const { return interrupted_; }
  // The latch itself, for code that looks at a stop flag between commands.
  const std::atomic<bool>& flag() const { return interrupted_; }
  // Called on the watcher thread for each signal; null removes it. When this
  // returns, a previous action is no longer running.
  void onInterrupt(std::function<void()> action);
  // An interrupt from the program itself (its output was closed): latched and
  // acted on, on the calling thread, as a signal would be.
  void trigger();

 private:
  void watch();

  sigset_t set_{};
  sigset_t old_{};
  std::atomic<bool> interrupted_{false};
  std::atomic<bool> stopping_{false};
  std::mutex actionMutex_;
  std::function<void()> action_;
  std::thread watcher_;
};

}  // namespace tmx::cli
