#include "platform/completion_event.h"

namespace tmx {

void CompletionEvent::set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  cv_.notify_all();
}

void CompletionEvent::reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

void CompletionEvent::wait() {
  std::unique_lock lock(mutex_);
  cv_.wait(lock, [this] { return signalled_; });
}

bool CompletionEvent::isSet() {
  std::lock_guard lock(mutex_);
  return signalled_;
}

}  // namespace tmx
