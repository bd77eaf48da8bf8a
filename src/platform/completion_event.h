// Manual-reset event: what the SCSI manager signals when a pending request ends.
#pragma once

#include <condition_variable>
#include <mutex>

namespace tmx {

class CompletionEvent {
 public:
  void set();
  void reset();
  // Waits with no time limit until the event is signalled.
  void wait();
  bool isSet();

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool signalled_ = false;
};

}  // namespace tmx
