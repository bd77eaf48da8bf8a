// Each worker's timing arithmetic, exact: a scripted drive whose commands take
// fixed times on the virtual clock, and the worker run on the test's thread.
#include <gtest/gtest.h>

#include <map>

#include "engine/engine_ids.h"
#include "engine/workers.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {

class TimedDrive {
 public:
  explicit TimedDrive(int64_t counterStepNs)
      : clock(counterStepNs),
        transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = std::make_unique<testing::ScriptedAdapter>();
          adapter->at(0, [this](const ScsiCommand& c, std::span<uint8_t>) {
            ++counts[c.cdb[0]];
            const auto it = durationNs.find(c.cdb[0]);
            if (it != durationNs.end()) clock.advanceNs(it->second);
            const auto reply = replies.find(c.cdb[0]);
            return reply != replies.end() ? reply->second : testing::good();
          });
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport),
        context{commands, clock, state, results, settings, [this](int event, long value) {
                  events.emplace_back(event, value);
                }} {
    transport.LoadAspiManager();
    state.testDrive = {0, 0};
    resetRecord(results);
  }

  long valueOf(int event) const {
    for (const auto& [e, v] : events) {
      if (e == event) return v;
    }
    return -999;
  }

  VirtualClock clock;
  AspiTransport transport;
  DriveCommands commands;
  SequencerState state;
  TestResults results;
  AppSettings settings;
  WorkerContext context;
  std::map<uint8_t, int64_t> durationNs;
  std::map<uint8_t, ScsiResult> replies;  // good() for the others
  std::map<uint8_t, int> counts;
  std::vector<std::pair<int, long>> events;
};

TEST(WorkerTiming, TransferZoneAtTestLengthTwo) {
  TimedDrive drive(0);
  drive.durationNs[0x28] = 6'000'000'000 / 180;  // 180 timed reads in 6.0 s
  TransferPhase phase{3, 360.0 / 2, 600.0 / 2};
  drive.state.currentLba = 27000;
  runTransferZone(drive.context, phase);
  EXPECT_EQ(drive.counts[0x28], 181) << "one untimed read more";
  EXPECT_NEAR(drive.results.speedSamples[3], 50.0, 1e-6) << "shown as 10.00x";
  EXPECT_EQ(drive.results.speedSamples[4], -1.0);
  EXPECT_EQ(drive.state.currentLba, 36000) << "the next zone starts 9000 sectors on";
  EXPECT_EQ(drive.events.back().first, EventTransferZone);
  EXPECT_EQ(drive.valueOf(EventProgress), 0) << "first read: 1 x 100 / 181";
}

TEST(WorkerTiming, TransferZoneAtTestLengthOneCountsTheSectorsTimed) {
  TimedDrive drive(0);
  drive.durationNs[0x28] = 1'000'000'000 / 30;  // 25 sectors at 10X
  runTransferZone(drive.context, TransferPhase{0});
  EXPECT_EQ(drive.counts[0x28], 360);
  // 359 timed reads of 25 sectors at 10X: the sample is 50 (10.00x), not 9000/8975 of it.
  EXPECT_NEAR(drive.results.speedSamples[0], 50.0, 1e-5);
  EXPECT_EQ(drive.state.currentLba, 9000);

  // Progress: one post per whole percent (0..100), not one per read.
  std::vector<long> posted;
  for (const auto& [event, value] : drive.events) {
    if (event == EventProgress) posted.push_back(value);
  }
  ASSERT_EQ(posted.size(), 101u);
  for (size_t i = 0; i < posted.size(); ++i) EXPECT_EQ(posted[i], static_cast<long>(i));
}

TEST(WorkerTiming, SeekPhaseReportsTheTotalOf100Seeks) {
  TimedDrive drive(0);
  drive.durationNs[0x0B] = 123'990'000;
  SeekPhase phase{2};
  runSeekPhase(drive.context, phase);
  EXPECT_EQ(drive.counts[0x0B], 101) << "one untimed seek finds the command";
  EXPECT_EQ(drive.events, (std::vector<std::pair<int, long>>{{EventSeekPhaseDone, 12399}}));
  runSeekPhase(drive.context, phase);
  EXPECT_EQ(drive.counts[0x0B], 201) << "the next phase knows it";
}

TEST(WorkerTiming, SlowlyRefusedSeek6IsTriedOnceAndNeverTimed) {
  TimedDrive drive(0);
  drive.durationNs[0x0B] = 35'000'000;
  drive.replies[0x0B] = testing::checkCondition(0x05, 0x20, 0x00);
  drive.durationNs[0x2B] = 80'000;
  SeekPhase phase{0};
  runSeekPhase(drive.context, phase);
  EXPECT_EQ(drive.counts[0x0B], 1);
  EXPECT_EQ(drive.counts[0x2B], 101);
  EXPECT_EQ(phase.opcode, 0x2B);
  EXPECT_EQ(drive.events, (std::vector<std::pair<int, long>>{{EventSeekPhaseDone, 8}})) << "100 x 0.08 ms";
}

TEST(WorkerTiming, SeekThatTimesOutIsAFailureNotARefusal) {
  TimedDrive drive(0);
  SeekPhase phase{1, 0x0B};
  drive.durationNs[0x0B] = 30'000'000'000;
  drive.replies[0x0B] = ScsiResult{aspi::kInvalidCommand, aspi::kHaTimeout, 0, {}, 0, -1};
  runSeekPhase(drive.context, phase);
  EXPECT_EQ(drive.counts[0x0B], 1);
  EXPECT_EQ(drive.counts[0x2B], 0) << "a hang is not answered with SEEK(10)";
  ASSERT_EQ(drive.events.size(), 1u);
  EXPECT_EQ(drive.events[0].first, EventReadError);
  EXPECT_EQ(drive.state.currentLba, 105000);

  // A refusal that the host reports as its own error still falls back.
  TimedDrive other(0);
  other.replies[0x0B] = ScsiResult{aspi::kInvalidCommand, aspi::kHaPhaseError, 0, {}, 0, -1};
  SeekPhase fresh;
  runSeekPhase(other.context, fresh);
  EXPECT_EQ(other.counts[0x0B], 1);
  EXPECT_EQ(other.counts[0x2B], 101);
  EXPECT_EQ(other.events.back().first, EventSeekPhaseDone);
}

TEST(WorkerTiming, CpuLoadIsBusyTimeOverFifteenSeconds) {
  TimedDrive drive(1000);  // the pacing loop needs a moving counter
  drive.durationNs[0x28] = 50'000'000;
  runCpuPhase(drive.context, CpuPhase{1});
  EXPECT_EQ(drive.counts[0x28], 45);
  EXPECT_EQ(drive.events.back(), (std::pair<int, long>{EventCpuPhaseDone, 15}));
  EXPECT_NEAR(static_cast<double>(drive.clock.nowNs()) / 1e9, 15.0, 0.01) << "paced at 3 reads per second";
}

TEST(WorkerTiming, BurstRateCountsTwoKilobytesPerSector) {
  TimedDrive drive(0);
  drive.durationNs[0x28] = 3'200'000;  // 300 timed reads in 0.96 s
  drive.settings.burstLengthKB = 32;
  runBurst(drive.context);
  EXPECT_EQ(drive.counts[0x28], 301);
  EXPECT_EQ(drive.events.back(), (std::pair<int, long>{EventBurstDone, 10000}));
  EXPECT_EQ(drive.events.size(), 101u + 1) << "each whole percent 0..100 posted once, then the result";
}

TEST(WorkerTiming, SpinTimesInWholeMilliseconds) {
  TimedDrive drive(0);
  drive.durationNs[0x1B] = 1'250'700'000;
  drive.durationNs[0x28] = 2'345'900'000;  // the first read after the stop spins up
  SpinPhase phase;
  runSpin(drive.context, phase);
  ASSERT_GE(drive.events.size(), 2u);
  EXPECT_EQ(drive.events.front(), (std::pair<int, long>{EventSpinPhaseDone, 2345}));
  EXPECT_EQ(drive.events.back(), (std::pair<int, long>{EventSpinPhaseDone, 1250}));
  EXPECT_TRUE(phase.down);
}

}  // namespace
}  // namespace tmx
