// Drives and discs built to trip the engine: short discs in fast drives,
// refused or slow commands, commands that hang. Each test either measures the
// model's truth or ends with a clear status line; never a wrong number.
#include <gtest/gtest.h>

#include <algorithm>

#include "emulator/ground_truth.h"
#include "engine/workers.h"
#include "support/engine_rig.h"
#include "support/private_folder.h"

namespace tmx {
namespace {

using testing::EngineRig;
using testing::PrivateFolder;
using testing::rebuildPreset;

constexpr int64_t kSlowRejectionNs = 35'000'000;  // a rejection through libata's error handling

// The default fast drive (52X CAV) with a short audio disc of `sectors`.
EngineRig::AdapterSetup shortDisc(int32_t sectors) {
  return [=](emu::EmulatedAdapter& adapter) {
    rebuildPreset(adapter, 0, "cav52-audio74", [&](emu::DriveProfile&, std::optional<emu::DiscSpec>& disc) {
      disc->sectors = sectors;
      disc->tracks = 2;
      disc->damage.clear();
    });
  };
}

// A preset drive that refuses `opcodes`, each refusal taking `rejectionNs` more.
EngineRig::AdapterSetup refusing(uint8_t target, std::string_view preset, std::initializer_list<uint8_t> opcodes,
                                 int64_t rejectionNs = 0) {
  std::vector<uint8_t> list(opcodes);
  return [=, preset = std::string(preset)](emu::EmulatedAdapter& adapter) {
    rebuildPreset(adapter, target, preset, [&](emu::DriveProfile& profile, std::optional<emu::DiscSpec>&) {
      for (uint8_t op : list) profile.rejectedOpcodes.set(op);
      profile.rejectionNs = rejectionNs;
    });
  };
}

bool anyLineStartsWith(const std::vector<std::string>& lines, std::string_view prefix) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
}

TEST(ShortDisc, CpuAndSpinTestsWrapToTheStartOfTheDisc) {
  // 8X reads 9000 sectors and the spin test's busy phase about 8000 from LBA
  // 100: both run past the end of 5000 sectors unless they wrap.
  EngineRig rig(0, nullptr, shortDisc(5000));
  ASSERT_EQ(rig.probe.storedLength(), 5000);
  rig.onlyTests({TestCpuUtilization, TestSpinUpDown});
  rig.run();
  EXPECT_EQ(rig.host.count("Test aborted"), 0);
  EXPECT_FALSE(anyLineStartsWith(rig.host.lines, "Read error"));
  EXPECT_EQ(rig.host.count("CPU utilization test completed"), 1);
  EXPECT_EQ(rig.host.count("Spin up/down test completed"), 1);

  // The load keeps its meaning: the same as on the full-length disc.
  EngineRig full(0);
  full.onlyTests({TestCpuUtilization});
  full.run();
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(rig.results.record.cpuUsage[i], full.results.record.cpuUsage[i], 1) << i;
  }
  const emu::GroundTruth truth(rig.drive());
  EXPECT_NEAR(rig.results.record.spinUpTime, truth.spinUpMs(kSpinLba) / 1000.0, 0.03);
}

TEST(ShortDisc, DaeTestStaysInsideTheDisc) {
  PrivateFolder folder;
  EngineRig rig(0, nullptr, shortDisc(5000));
  rig.onlyTests({TestDaeQuality});
  rig.run();
  EXPECT_FALSE(anyLineStartsWith(rig.host.lines, "Read error")) << rig.host.lines.back();
  EXPECT_EQ(rig.host.count("Errors: 0"), 4);
  EXPECT_EQ(rig.host.count("DAE quality test completed"), 1);
  EXPECT_EQ(rig.results.record.daeScore, 10);
  EXPECT_EQ(rig.results.record.accurateStream, 1);
}

TEST(ShortDisc, DaeTestRefusesADiscTooShortForThreePositions) {
  for (int32_t sectors : {2399, 1000, 600}) {
    PrivateFolder folder;
    EngineRig rig(0, nullptr, shortDisc(sectors));
    rig.onlyTests({TestDaeQuality, TestBurstRate});
    rig.run();
    const auto& lines = rig.host.lines;
    const auto refused =
        std::find(lines.begin(), lines.end(), "Disc capacity must be at least 32 s for the DAE quality test");
    ASSERT_NE(refused, lines.end()) << sectors;
    EXPECT_EQ(*(refused + 1), "Test aborted");
    EXPECT_FALSE(anyLineStartsWith(lines, "Read error")) << sectors;
    EXPECT_EQ(rig.host.count("Starting burst rate test"), 0);
  }
  PrivateFolder folder;
  EngineRig shortest(0, nullptr, shortDisc(2400));
  shortest.onlyTests({TestDaeQuality});
  shortest.run();
  EXPECT_EQ(shortest.host.count("DAE quality test completed"), 1) << "2400 sectors hold three positions";
  EXPECT_EQ(shortest.results.record.daeScore, 10);
}

// Expected seek figures of the model for the three phases.
std::array<double, 3> trueSeeks(const emu::DriveModel& drive) {
  std::vector<int32_t> random, third, full;
  for (int i = 0; i < 100; ++i) {
    random.push_back(seekTarget(0, i));
    third.push_back(seekTarget(1, i));
    full.push_back(seekTarget(2, i));
  }
  const emu::GroundTruth truth(drive);
  return {truth.averageSeekMs(0, random), truth.averageSeekMs(random.back(), third), truth.averageSeekMs(0, full)};
}

TEST(RefusedCommands, SlowlyRefusedSeek6IsNotTimed) {
  EngineRig rig(0, nullptr, refusing(0, "cav52-audio74", {0x0B}, kSlowRejectionNs));
  rig.onlyTests({TestSeekTimes});
  rig.run();
  ASSERT_EQ(rig.host.count("Seek test completed"), 1);
  const auto truth = trueSeeks(rig.drive());
  const TestResults& r = rig.results.record;
  EXPECT_NEAR(r.randomSeekMs, truth[0], 1.0);
  EXPECT_NEAR(r.oneThirdSeekMs, truth[1], 1.0);
  EXPECT_NEAR(r.fullSeekMs, truth[2], 1.0);
}

TEST(RefusedCommands, QualityCheckSwitchesBlocksWithModeSelect10) {
  // The ATAPI-like preset refuses MODE SELECT(6); a shorter clean CD-R keeps the check quick.
  EngineRig rig(3, nullptr, [](emu::EmulatedAdapter& adapter) {
    rebuildPreset(adapter, 3, "zclv48-cdr-ty",
                  [](emu::DriveProfile&, std::optional<emu::DiscSpec>& disc) { disc->sectors = 9000; });
  });
  ASSERT_TRUE(rig.drive().profile().rejectedOpcodes.test(0x15));
  ASSERT_TRUE(rig.sequencer->startQualityCheck());
  rig.runToEnd();
  EXPECT_EQ(rig.host.count("CD quality check completed"), 1);
  EXPECT_EQ(rig.host.count("0 errors (0.000%)"), 1);
  EXPECT_EQ(rig.results.record.qualityErrors, 0);
  EXPECT_EQ(rig.drive().blockMode().blockLength, 2048u) << "2048-byte blocks are restored";
}

TEST(RefusedCommands, QualityCheckEndsWhenNoBlockSwitchWorks) {
  EngineRig rig(3, nullptr, refusing(3, "zclv48-cdr-ty", {0x0B, 0x1A, 0x15, 0x55}));
  ASSERT_TRUE(rig.sequencer->startQualityCheck());
  rig.runToEnd();
  const auto& lines = rig.host.lines;
  const auto reason = std::find(lines.begin(), lines.end(),
                                "Cannot switch the drive to blocks with error information (code 052000)");
  ASSERT_NE(reason, lines.end());
  EXPECT_EQ(*(reason + 1), "Test aborted");
  EXPECT_EQ(rig.host.count("CD quality check completed"), 0);
  EXPECT_FALSE(rig.sequencer->state().qualityCheckActive) << "the map leaves the graph";
  EXPECT_EQ(rig.host.caption, "Start");
}

TEST(RefusedCommands, RefusedStopLeavesBothSpinTimesUnmeasured) {
  EngineRig rig(1, nullptr, refusing(1, "clv16-data74", {0x1B}));
  rig.onlyTests({TestSpinUpDown});
  rig.run();
  EXPECT_EQ(rig.results.record.spinUpTime, -1.0);
  EXPECT_EQ(rig.results.record.spinDownTime, -1.0);
  const auto& lines = rig.host.lines;
  const std::vector<std::string> expected = {"Starting spin up time test",
                                             "Stop command failed (code 052000)",
                                             "Spin up time: N/A",
                                             "Starting spin down time test",
                                             "Stop command failed (code 052000)",
                                             "Spin down time: N/A",
                                             "Test aborted"};
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(expected.size()), lines.end()), expected);
}

TEST(HangingCommands, HangingStopIsNotASpinTime) {
  // The first stop hangs until the host's timeout; the second works.
  EngineRig rig(1);
  rig.drive().faults().add(emu::Fault{emu::Fault::Kind::Hang, 0x1B, 1});
  rig.onlyTests({TestSpinUpDown});
  rig.run();
  EXPECT_EQ(rig.results.record.spinUpTime, -1.0);
  EXPECT_EQ(rig.host.count("Stop command timed out"), 1);
  EXPECT_EQ(rig.host.count("Spin up time: N/A"), 1);
  EXPECT_GT(rig.results.record.spinDownTime, 0.0);
  EXPECT_LT(rig.results.record.spinDownTime, 5.0);
  EXPECT_EQ(rig.host.count("Spin up/down test completed"), 0) << "one of its times is missing";
  EXPECT_EQ(rig.host.lines.back(), "Test aborted");
}

TEST(HangingCommands, HangingSeekEndsTheTest) {
  EngineRig rig(0);
  rig.onlyTests({TestSeekTimes, TestBurstRate});
  rig.host.onStatusLine = [&](const std::string& line) {
    if (line == "Starting 1/3 seek test") rig.drive().faults().add(emu::Fault{emu::Fault::Kind::Hang, 0x0B, 1});
  };
  rig.run();
  const auto& lines = rig.host.lines;
  const auto failed = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.starts_with("Read error at");
  });
  ASSERT_NE(failed, lines.end());
  ASSERT_GE(lines.end() - failed, 3);
  EXPECT_EQ(*(failed + 1), "Drive did not answer within 30 s");
  EXPECT_EQ(*(failed + 2), "Test aborted");
  EXPECT_EQ(rig.host.count("Seek test completed"), 0);
  EXPECT_EQ(rig.host.count("Starting burst rate test"), 0);
  const TestResults& r = rig.results.record;
  EXPECT_NEAR(r.randomSeekMs, trueSeeks(rig.drive())[0], 1.0) << "the phase measured before stays";
  EXPECT_EQ(r.oneThirdSeekMs, -1);
  EXPECT_EQ(r.fullSeekMs, -1);
}

}  // namespace
}  // namespace tmx
