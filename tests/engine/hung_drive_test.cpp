// A drive that stops answering. A Stop that arrives from another thread (the
// CLI's interrupt watcher) while the main thread waits on it in the run's
// start-up ends the run after the command in flight, not after every
// command's timeout; a read that times out says so under its error line.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/engine_rig.h"

namespace tmx {
namespace {

// Virtual time with a hook on every wait: a wait of seconds is a hung command.
class HangWatchClock final : public Clock {
 public:
  int64_t counter() override { return inner.counter(); }
  int64_t counterFrequency() const override { return inner.counterFrequency(); }
  uint32_t tickMs() override { return inner.tickMs(); }
  int64_t nowNs() override { return inner.nowNs(); }
  std::time_t wallTime() override { return inner.wallTime(); }
  void sleepUntilNs(int64_t t) override {
    if (t - inner.nowNs() >= 1'000'000'000) {
      ++hangs;
      if (onHang) onHang();
    }
    inner.sleepUntilNs(t);
  }
  VirtualClock inner{10'000};
  int hangs = 0;
  std::function<void()> onHang;
};

TEST(HungDrive, StopDuringStartUpEndsAfterTheCommandInFlight) {
  // Every command the start-up and the probe send hangs until its timeout.
  const uint8_t opcodes[] = {0x00, 0x1A, 0x1B, 0x25, 0x28, 0x2B, 0x43, 0x55, 0x15, 0x5A, 0xA8, 0xBE, 0xD8};
  for (const bool quality : {false, true}) {
    HangWatchClock clock;
    testing::EngineRig rig(0, &clock);
    rig.onlyTests({TestTransferRate});
    rig.host.answerYes = true;
    for (uint8_t op : opcodes) rig.drive().faults().add(emu::Fault{emu::Fault::Kind::Hang, op, -1});
    clock.onHang = [&] { rig.sequencer->requestStop(); };
    const int64_t start = clock.nowNs();
    if (quality) {
      rig.sequencer->startQualityCheck();
    } else {
      rig.sequencer->runTest(RunAllSelected);
    }
    rig.runToEnd();
    EXPECT_EQ(clock.hangs, quality ? 2 : 1) << "no command after the stop but the one in flight"
                                           << (quality ? " (and the C2 question before the start)" : "");
    EXPECT_LE(clock.nowNs() - start, clock.hangs * 30'000'000'000LL + 1'000'000'000) << quality;
    EXPECT_EQ(rig.host.count("Test cancelled by user"), 1) << quality;
    EXPECT_EQ(rig.host.caption, "Start");
  }
}

TEST(HungDrive, ReadErrorLineIsFollowedByItsCause) {
  testing::EngineRig rig(1);
  rig.onlyTests({TestBurstRate});
  rig.host.onStatusLine = [&](const std::string& line) {
    if (line == "Initializing") rig.drive().faults().add(emu::Fault{emu::Fault::Kind::Hang, 0x28, -1});
  };
  rig.run();
  const auto& lines = rig.host.lines;
  const auto error = std::find(lines.begin(), lines.end(), "Read error at  0:00.00 (code 000000)");
  ASSERT_NE(error, lines.end());
  ASSERT_LT(error + 2, lines.end());
  EXPECT_EQ(error[1], "Drive did not answer within 30 s");
  EXPECT_EQ(error[2], "Test aborted");
}

}  // namespace
}  // namespace tmx
