#include <gtest/gtest.h>

#include "platform/clock.h"

namespace tmx {
namespace {

TEST(VirtualClock, MovesOnlyWhenAdvancedOrPolled) {
  VirtualClock clock(500);
  EXPECT_EQ(clock.nowNs(), 0);
  EXPECT_EQ(clock.counter(), 0);
  EXPECT_EQ(clock.counter(), 500) << "each counter read steps, so busy-waits end";
  EXPECT_EQ(clock.nowNs(), 1000);
  clock.sleepUntilNs(5'000'000);
  EXPECT_EQ(clock.nowNs(), 5'000'000);
  EXPECT_EQ(clock.tickMs(), 5u);
  clock.sleepUntilNs(1);
  EXPECT_EQ(clock.nowNs(), 5'000'000) << "sleeping into the past does not rewind";
  clock.advanceNs(3'000'000'000);
  EXPECT_EQ(clock.wallTime(), 1'700'000'003);
}

TEST(VirtualClock, BusyWaitOnCounterTerminates) {
  VirtualClock clock;
  const int64_t start = clock.counter();
  const int64_t target = start + clock.counterFrequency() / 100;  // 10 ms
  int reads = 0;
  while (clock.counter() < target) ++reads;
  EXPECT_EQ(reads, 9999);
}

TEST(ScaledClock, RunsFasterThanRealTime) {
  ScaledClock scaled(1000.0);
  const int64_t realStart = monotonicNs();
  scaled.sleepUntilNs(scaled.nowNs() + 1'000'000'000);  // one model second
  EXPECT_LT(monotonicNs() - realStart, 500'000'000);
}

}  // namespace
}  // namespace tmx
