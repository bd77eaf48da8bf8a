#include "platform/clock.h"

#include <time.h>

namespace tmx {

int64_t monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

void sleepUntilMonotonicNs(int64_t deadlineNs) {
  // The kernel's wake-up can be late by tens of microseconds; sleep to just
  // before the deadline and spin the rest.
  constexpr int64_t kSpinNs = 200'000;
  int64_t now = monotonicNs();
  if (deadlineNs - now > kSpinNs) {
    const int64_t wake = deadlineNs - kSpinNs;
    timespec ts{static_cast<time_t>(wake / 1'000'000'000), static_cast<long>(wake % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) != 0) {
    }
  }
  while (monotonicNs() < deadlineNs) {
  }
}

RealClock::RealClock() : startNs_(monotonicNs()) {}
int64_t RealClock::counter() { return monotonicNs(); }
uint32_t RealClock::tickMs() { return static_cast<uint32_t>(monotonicNs() / 1'000'000); }
int64_t RealClock::nowNs() { return monotonicNs() - startNs_; }
void RealClock::sleepUntilNs(int64_t t) { sleepUntilMonotonicNs(startNs_ + t); }
std::time_t RealClock::wallTime() { return std::time(nullptr); }

ScaledClock::ScaledClock(double factor) : factor_(factor > 0 ? factor : 1.0), startNs_(monotonicNs()) {}
uint32_t ScaledClock::tickMs() { return static_cast<uint32_t>(nowNs() / 1'000'000); }
int64_t ScaledClock::nowNs() { return static_cast<int64_t>(static_cast<double>(monotonicNs() - startNs_) * factor_); }
void ScaledClock::sleepUntilNs(int64_t t) {
  sleepUntilMonotonicNs(startNs_ + static_cast<int64_t>(static_cast<double>(t) / factor_));
}
std::time_t ScaledClock::wallTime() { return std::time(nullptr); }

VirtualClock::VirtualClock(int64_t counterStepNs, std::time_t wallStart)
    : stepNs_(counterStepNs), wallStart_(wallStart) {}

int64_t VirtualClock::counter() {
  std::lock_guard lock(mutex_);
  const int64_t t = nowNs_;
  nowNs_ += stepNs_;
  return t;
}
uint32_t VirtualClock::tickMs() {
  std::lock_guard lock(mutex_);
  return static_cast<uint32_t>(nowNs_ / 1'000'000);
}
int64_t VirtualClock::nowNs() {
  std::lock_guard lock(mutex_);
  return nowNs_;
}
void VirtualClock::sleepUntilNs(int64_t t) {
  std::lock_guard lock(mutex_);
  if (t > nowNs_) nowNs_ = t;
}
std::time_t VirtualClock::wallTime() {
  std::lock_guard lock(mutex_);
  return wallStart_ + static_cast<std::time_t>(nowNs_ / 1'000'000'000);
}
void VirtualClock::advanceNs(int64_t d) {
  std::lock_guard lock(mutex_);
  if (d > 0) nowNs_ += d;
}

}  // namespace tmx
