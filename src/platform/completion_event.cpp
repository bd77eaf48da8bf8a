#include "platform/completion_event.h"

namespace tmx {

void CompletionEvent::set() {
  // Notifying after the unlock would touch the condition variable after the
  // waiter may have woken on the flag alone and destroyed the event.
  std::lock_guard lock(mutex_);
  signalled_ = true;
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

bool CompletionEvent::waitFor(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return cv_.wait_for(lock, limit, [this] { return signalled_; });
}

bool CompletionEvent::isSet() {
  std::lock_guard lock(mutex_);
  return signalled_;
}

}  // namespace tmx
