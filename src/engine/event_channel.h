// The test notification: a worker hands (event, value) to the main thread and
// waits until the main thread has handled it. The main thread pumps.
//
//   worker:  channel.notify(EventProgress, 40);   // returns after handling
//   main:    while (busy) channel.pumpOne(std::chrono::milliseconds(50));
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace tmx {

class EventChannel {
 public:
  using Handler = std::function<void(int event, long value)>;

  explicit EventChannel(Handler handler) : handler_(std::move(handler)) {}

  // From a worker thread. Returns once the handler has run for this event.
  void notify(int event, long value);

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
  std::mutex mutex_;
  std::condition_variable posted_;
  std::condition_variable handled_;
  std::optional<Pending> pending_;
  uint64_t nextTicket_ = 0;
  uint64_t handledTicket_ = 0;
};

}  // namespace tmx
