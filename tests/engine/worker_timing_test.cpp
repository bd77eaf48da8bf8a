// Each worker's timing arithmetic, exact: a scripted drive whose commands take
// fixed times on the virtual clock, and the worker run on the test's thread.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

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
            if (special) {
              if (const auto reply = special(c)) return *reply;
            }
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
  // A reply by the command's bytes, where the opcode alone does not decide.
  std::function<std::optional<ScsiResult>(const ScsiCommand&)> special;
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

Medium dvd5() { return {MediumKind::DVD, 0x0010, "DVD-ROM", 1, false, 2'295'104, std::nullopt}; }

// A DVD zone: one block untimed at the zone's start, then its timed share,
// the speed in DVD X (1,385,000 bytes per second).
TEST(WorkerTiming, DvdZoneInTheMediumsX) {
  TimedDrive drive(0);
  drive.results.media.medium = dvd5();
  drive.durationNs[0x28] = static_cast<int64_t>(16 * 2048 / (8.0 * 1'385'000) * 1e9);  // 16 sectors at 8X
  MediumZonePhase phase{mediumPlanFor(dvd5()), 3, 0};
  phase.timedSectors = timedSectorsPerZone(phase.plan, 6);
  ASSERT_EQ(phase.timedSectors, 682 * 16);
  runMediumZone(drive.context, phase);
  EXPECT_EQ(drive.counts[0x28], 683);
  ASSERT_EQ(drive.results.media.zones.size(), 1u);
  EXPECT_EQ(drive.results.media.zones[0].startLba, 3 * 65'536);
  EXPECT_NEAR(drive.results.media.zones[0].speedX, 8.0, 1e-4);
  EXPECT_EQ(drive.events.back().first, EventTransferZone);
}

// The CPU load of a DVD at its own 2X; a drive too slow for a speed is not
// measured at it.
TEST(WorkerTiming, DvdCpuLoadAtTheMediumsSpeeds) {
  TimedDrive drive(1000);
  drive.results.media.medium = dvd5();
  drive.state.discSectors = 2'295'104;
  drive.durationNs[0x28] = 2'000'000;
  runMediumCpuPhase(drive.context, CpuPhase{2});
  // 15 s at 2X in blocks of 16: 2 x 1,385,000 / 32,768 reads a second.
  EXPECT_EQ(drive.counts[0x28], static_cast<int>(15.0 / (16 * 2048.0 / (2 * 1'385'000.0))));
  EXPECT_EQ(drive.events.back().first, EventCpuPhaseDone);
  EXPECT_EQ(drive.events.back().second, static_cast<long>(100.0 * drive.counts[0x28] * 0.002 / 15.0));

  // 8X needs a block every 2.96 ms: a drive that takes 4 ms cannot keep up.
  TimedDrive slow(1000);
  slow.results.media.medium = dvd5();
  slow.state.discSectors = 2'295'104;
  slow.durationNs[0x28] = 4'000'000;
  runMediumCpuPhase(slow.context, CpuPhase{8});
  EXPECT_EQ(slow.events.back(), (std::pair<int, long>{EventCpuPhaseDone, kCpuNotMeasured}));

  // A drive that takes 20 ms over one read in ten (real drives and hosts stall
  // now and then) still averages 3.8 ms against 2X's 11.8 ms: the reads after
  // a stall make up its time, and the phase ends in its 15 s.
  TimedDrive stalling(1000);
  stalling.results.media.medium = dvd5();
  stalling.state.discSectors = 2'295'104;
  stalling.durationNs[0x28] = 2'000'000;
  int reads = 0;
  stalling.special = [&](const ScsiCommand& c) -> std::optional<ScsiResult> {
    if (c.cdb[0] == 0x28 && ++reads % 10 == 0) stalling.clock.advanceNs(18'000'000);
    return std::nullopt;
  };
  runMediumCpuPhase(stalling.context, CpuPhase{2});
  EXPECT_EQ(stalling.events.back().first, EventCpuPhaseDone);
  EXPECT_EQ(stalling.events.back().second, static_cast<long>(100.0 * reads * 0.0038 / 15.0));
  EXPECT_NEAR(static_cast<double>(stalling.clock.nowNs()) / 1e9, 15.0, 0.02);
}

// Every block read once; a medium error read again, counted recovered when a
// retry reads it and unreadable when none does; the scan goes on.
TEST(WorkerTiming, ReadScanTimesEveryBlockAndRetriesMediumErrors) {
  TimedDrive drive(0);
  Medium tiny = dvd5();
  tiny.capacitySectors = 160;
  drive.results.media.medium = tiny;
  drive.durationNs[0x28] = 5'000'000;  // 5 ms: under 10
  int tries48 = 0;
  drive.special = [&](const ScsiCommand& c) -> std::optional<ScsiResult> {
    const uint32_t lba = uint32_t{c.cdb[2]} << 24 | uint32_t{c.cdb[3]} << 16 | uint32_t{c.cdb[4]} << 8 | c.cdb[5];
    if (lba == 48 && ++tries48 <= 2) return testing::checkCondition(0x03, 0x11, 0x00);
    if (lba == 96) return testing::checkCondition(0x03, 0x11, 0x00);
    return std::nullopt;
  };
  runReadScan(drive.context);
  const ReadScan& scan = drive.results.media.scan;
  EXPECT_EQ(scan.blocksRead, 9);
  EXPECT_EQ(scan.latencyBuckets[1], 9);
  EXPECT_EQ(scan.unreadableSectors, 16);
  ASSERT_EQ(scan.failedBlocks.size(), 2u);
  EXPECT_EQ(scan.failedBlocks[0].lba, 48);
  EXPECT_TRUE(scan.failedBlocks[0].recovered);
  EXPECT_EQ(scan.failedBlocks[0].retries, 1);
  EXPECT_EQ(scan.failedBlocks[1].lba, 96);
  EXPECT_FALSE(scan.failedBlocks[1].recovered);
  EXPECT_EQ(drive.counts[0x28], 10 + 2 + kScanRetries);
  EXPECT_EQ(scan.map[static_cast<size_t>(scanCellOf(96, 160))], kLatencyBucketCount);
  long cells = 0;
  for (const auto& [event, value] : drive.events) cells += event == EventQualityBlock;
  EXPECT_EQ(cells, kScanMapCells) << "every cell of the map is reported once";
  EXPECT_EQ(drive.events.back().first, EventQualityDone);

  // A drive that went away ends the scan.
  TimedDrive gone(0);
  gone.results.media.medium = tiny;
  gone.replies[0x28] = testing::checkCondition(0x02, 0x3A, 0x00);
  runReadScan(gone.context);
  EXPECT_EQ(gone.counts[0x28], 1);
  EXPECT_EQ(gone.events.back().first, EventReadError);
}

TEST(WorkerArithmetic, DvdSeekTargetsSpanItsDataArea) {
  const Medium disc = dvd5();
  EXPECT_EQ(mediumSeekTarget(disc, 2, 0), 2'295'103);
  EXPECT_EQ(mediumSeekTarget(disc, 2, 1), 0);
  EXPECT_EQ(mediumSeekTarget(disc, 1, 0), 2'295'103 / 3);
  for (int i = 0; i < 100; ++i) EXPECT_LT(mediumSeekTarget(disc, 0, i), disc.capacitySectors);
  EXPECT_EQ(mediumSeekTarget(disc, 0, 0), int64_t{seekTarget(0, 0)} * 2'295'103 / 314'999);
  EXPECT_EQ(mediumPlanFor(disc).zones, 35) << "at least 32 points on a full single-layer disc";
  Medium bd25{MediumKind::BD, 0x0040, "BD-ROM", 1, false, 12'219'392, std::nullopt};
  EXPECT_EQ(mediumPlanFor(bd25).zones, 37);
  EXPECT_EQ(mediumPlanFor(bd25).blockSectors, 32);
}

}  // namespace
}  // namespace tmx
