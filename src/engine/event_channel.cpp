#include "engine/event_channel.h"

namespace tmx {

void EventChannel::notify(int event, long value) {
  std::unique_lock lock(mutex_);
  // One event in flight at a time: only one worker runs, but the previous
  // worker may still be on its way out.
  handled_.wait(lock, [this] { return !pending_.has_value(); });
  const uint64_t ticket = ++nextTicket_;
  pending_ = Pending{event, value, ticket};
  posted_.notify_all();
  if (wakeup_) wakeup_();
  handled_.wait(lock, [this, ticket] { return handledTicket_ >= ticket; });
}

void EventChannel::post(int event, long value) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    // A value still waiting has already woken the main thread.
    wake = !latest_.has_value();
    latest_ = std::make_pair(event, value);
  }
  if (wake) {
    posted_.notify_all();
    if (wakeup_) wakeup_();
  }
}

bool EventChannel::pumpOne(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!posted_.wait_for(lock, timeout, [this] { return pending_.has_value() || latest_.has_value(); })) {
    return false;
  }
  // A posted value was sent before the pending event (its worker was not
  // waiting then), so it goes first.
  if (latest_) {
    const auto [event, value] = *latest_;
    latest_.reset();
    lock.unlock();
    handler_(event, value);
    return true;
  }
  const Pending pending = *pending_;
  lock.unlock();
  handler_(pending.event, pending.value);
  lock.lock();
  pending_.reset();
  handledTicket_ = pending.ticket;
  handled_.notify_all();
  return true;
}

}  // namespace tmx
