// The test notification: a worker hands (event, value) to the main thread and
// waits until the main thread has handled it. Progress values only move a bar,
// so they may be posted instead: the worker goes on, and the latest value wins.
// The main thread pumps.
//
//   worker:  channel.notify(EventZoneDone, 0);     // returns after handling
//            channel.post(EventProgress, 40);      // returns at once
//   main:    while (busy) channel.pumpOne(std::chrono::milliseconds(50));
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace tmx {

// What a worker needs of the main thread's side.
class Notifier {
 public:
  virtual ~Notifier() = default;
  // Returns once the main thread has handled the event.
  virtual void notify(int event, long value) = 0;
  // Returns at once; a value not handled yet is replaced by a newer one.
  virtual void post(int event, long value) = 0;
};

class EventChannel final : public Notifier {
 public:
  using Handler = std::function<void(int event, long value)>;

  explicit EventChannel(Handler handler) : handler_(std::move(handler)) {}

  // Called from the sending thread each time an event becomes pending, so an
  // event loop can schedule a pump instead of polling. Set it before any
  // worker starts; it must not call back into the channel.
  void setWakeup(std::function<void()> wakeup) { wakeup_ = std::move(wakeup); }

  // From a worker thread. Returns once the handler has run for this event.
  void notify(int event, long value) override;
  // From a worker thread. Returns at once; delivered on a later pump before
  // any event notified after it.
  void post(int event, long value) override;

  // From the main thread: handles one pending event, waiting up to `timeout`
  // for one. Returns whether an event was handled. The handler may start the
  // next worker, which may notify in turn: it waits for the next pump.
  bool pumpOne(std::chrono::milliseconds timeout);

 private:
  struct Pending {
    int event;
    long value;
    uint64_t ticket;
  };

  Handler handler_;
  std::function<void()> wakeup_;
  std::mutex mutex_;
  std::condition_variable posted_;
  std::condition_variable handled_;
  std::optional<Pending> pending_;
  std::optional<std::pair<int, long>> latest_;
  uint64_t nextTicket_ = 0;
  uint64_t handledTicket_ = 0;
};

}  // namespace tmx
