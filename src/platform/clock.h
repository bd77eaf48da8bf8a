// Time seam: the performance counter, the millisecond tick, wall time, and the
// model time the emulated drive sleeps against.
//
// Three sides: RealClock (the monotonic clock), ScaledClock (real time sped up
// N times, for demos of the emulated drive) and VirtualClock (moves only when
// advanced, so timing tests are exact and instant).
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <mutex>

namespace tmx {

class Clock {
 public:
  virtual ~Clock() = default;

  // High-resolution counter and its ticks per second.
  virtual int64_t counter() = 0;
  virtual int64_t counterFrequency() const = 0;
  // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
  virtual uint32_t tickMs() = 0;

  // Model time in nanoseconds since the clock's start. The emulated drive
  // schedules completions against it.
  virtual int64_t nowNs() = 0;
  // Returns once nowNs() >= t. Real clocks sleep; the virtual clock jumps.
  virtual void sleepUntilNs(int64_t t) = 0;

  // Wall-clock time for time stamps (status lines, reports).
  virtual std::time_t wallTime() = 0;
};

class RealClock final : public Clock {
 public:
  RealClock();
  int64_t counter() override;
  int64_t counterFrequency() const override { return 1'000'000'000; }
  uint32_t tickMs() override;
  int64_t nowNs() override;
  void sleepUntilNs(int64_t t) override;
  std::time_t wallTime() override;

 private:
  int64_t startNs_;
};

// Real time multiplied by `factor`: a drive model that takes 1 s of model time
// takes 1/factor s of real time, and the counter shows 1 s.
class ScaledClock final : public Clock {
 public:
  explicit ScaledClock(double factor);
  int64_t counter() override { return nowNs(); }
  int64_t counterFrequency() const override { return 1'000'000'000; }
  uint32_t tickMs() override;
  int64_t nowNs() override;
  void sleepUntilNs(int64_t t) override;
  std::time_t wallTime() override;
  double factor() const { return factor_; }

 private:
  double factor_;
  int64_t startNs_;
};

// Moves only when advanced. Every counter() read adds `counterStepNs`, so a
// busy-wait on the counter terminates.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(int64_t counterStepNs = 1000, std::time_t wallStart = 1'700'000'000);
  int64_t counter() override;
  int64_t counterFrequency() const override { return 1'000'000'000; }
  uint32_t tickMs() override;
  int64_t nowNs() override;
  void sleepUntilNs(int64_t t) override;
  std::time_t wallTime() override;

  void advanceNs(int64_t d);

 private:
  std::mutex mutex_;
  int64_t nowNs_ = 0;
  int64_t stepNs_;
  std::time_t wallStart_;
};

// Monotonic nanoseconds of the machine, for the real and scaled clocks.
int64_t monotonicNs();
// Sleeps until the monotonic clock reads `deadlineNs`; spins the last stretch
// so the wake-up is precise to a few microseconds.
void sleepUntilMonotonicNs(int64_t deadlineNs);

}  // namespace tmx
