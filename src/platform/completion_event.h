// Manual-reset event: what the SCSI manager signals when a pending request ends.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tmx {

class CompletionEvent {
 public:
  // Signals under the lock: a waiter that returns may destroy the event at once.
  void set();
  void reset();
  // Waits with no time limit until the event is signalled.
  void wait();
  // Waits at most `limit`; true when the event was signalled.
  bool waitFor(std::chrono::milliseconds limit);
  bool isSet();

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool signalled_ = false;
};

}  // namespace tmx
