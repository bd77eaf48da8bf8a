// DVD and BD runs against the emulated drives' own truth, in virtual time:
// each zone's speed in the medium's X, the reading type per layer, the seeks
// over the medium's strokes, the read scan's unreadable blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/faults.h"
#include "emulator/ground_truth.h"
#include "engine/medium_plan.h"
#include "engine/workers.h"
#include "support/engine_rig.h"

namespace tmx {
namespace {

using testing::EngineRig;

struct Expected {
  uint8_t target;
  MediumKind kind;
  const char* readingType;
};

constexpr Expected kPresets[] = {{8, MediumKind::DVD, "CAV"},
                                 {9, MediumKind::DVD, "Z-CLV"},
                                 {10, MediumKind::DVD, "P-CAV"},
                                 {11, MediumKind::BD, "CAV"},
                                 {12, MediumKind::BD, "CLV"}};

TEST(MediumFidelity, ZonesInTheMediumsXAndTheCurvePerLayer) {
  for (const Expected& e : kPresets) {
    EngineRig rig(e.target);
    rig.settings.testLength = 6;
    rig.onlyTests({TestTransferRate});
    rig.run();
    const emu::GroundTruth truth(rig.drive());
    const MediumResults& media = rig.results.record.media;
    ASSERT_EQ(media.medium.kind, e.kind) << int{e.target};
    const MediumPlan plan = mediumPlanFor(media.medium);
    ASSERT_GE(plan.zones, 32) << int{e.target};
    ASSERT_EQ(static_cast<int>(media.zones.size()), plan.zones) << int{e.target};
    const int64_t timed = timedSectorsPerZone(plan, 6);
    double worst = 0;
    for (const ZoneSpeed& zone : media.zones) {
      const double expected = truth.averageSpeedX(static_cast<int32_t>(zone.startLba + plan.blockSectors),
                                                  static_cast<int32_t>(timed));
      EXPECT_NEAR(zone.speedX, expected, expected * 0.002) << int{e.target} << " zone at " << zone.startLba;
      worst = std::max(worst, std::fabs(zone.speedX / expected - 1));
    }
    std::printf("target %d: %zu zones, worst zone %.4f%% off its truth, %s\n", e.target, media.zones.size(),
                worst * 100, rig.results.texts.readingTypeText.c_str());
    EXPECT_EQ(rig.results.texts.readingTypeText, e.readingType) << int{e.target};
    EXPECT_EQ(rig.results.texts.readingTypeText, truth.rotationName()) << int{e.target};
  }
}

TEST(MediumFidelity, SeeksOverTheMediumsStrokes) {
  for (const Expected& e : kPresets) {
    EngineRig rig(e.target);
    rig.onlyTests({TestSeekTimes});
    // The phases' totals of 100 seeks, before the panel truncates them to ms.
    std::vector<double> measured;
    rig.onEvent = [&](int event, long value) {
      if (event == EventSeekPhaseDone) measured.push_back(static_cast<double>(value) / 100.0);
    };
    rig.run();
    const emu::GroundTruth truth(rig.drive());
    const Medium& medium = rig.results.record.media.medium;
    std::vector<int32_t> random, third, full;
    for (int i = 0; i < 100; ++i) {
      random.push_back(static_cast<int32_t>(mediumSeekTarget(medium, 0, i)));
      third.push_back(static_cast<int32_t>(mediumSeekTarget(medium, 1, i)));
      full.push_back(static_cast<int32_t>(mediumSeekTarget(medium, 2, i)));
    }
    ASSERT_EQ(measured.size(), 3u) << int{e.target};
    std::printf("target %d seeks: %.2f / %.2f / %.2f ms, truth %.2f / %.2f / %.2f ms\n", e.target, measured[0],
                measured[1], measured[2], truth.averageSeekMs(0, random), truth.averageSeekMs(random.back(), third),
                truth.averageSeekMs(third.back(), full));
    EXPECT_NEAR(measured[0], truth.averageSeekMs(0, random), 1.0) << int{e.target};
    EXPECT_NEAR(measured[1], truth.averageSeekMs(random.back(), third), 1.0) << int{e.target};
    EXPECT_NEAR(measured[2], truth.averageSeekMs(third.back(), full), 1.0) << int{e.target};
  }
}

// A scratch that no retry reads: counted block by block, the scan goes on to
// the end of the disc and says so.
TEST(MediumFidelity, ReadScanCountsWhatTheDiscCannotGive) {
  EngineRig rig(8);
  rig.drive().faults().add(std::get<emu::Fault>(emu::parseFault("read-error@1000000-1000099")));
  ASSERT_TRUE(rig.sequencer->startQualityCheck());
  rig.runToEnd();
  const ReadScan& scan = rig.results.record.media.scan;
  // Blocks of 16 from LBA 0: 1,000,000 to 1,000,111 hold the scratch (7 blocks).
  EXPECT_EQ(scan.unreadableSectors, 7 * 16);
  EXPECT_EQ(scan.failedBlocks.size(), 7u);
  EXPECT_EQ(scan.blocksRead + 7, (2'295'104 + 15) / 16);
  EXPECT_EQ(rig.host.count("Read scan completed"), 1);
  EXPECT_EQ(rig.host.count("112 unreadable sectors, 7 blocks read again"), 1);
  EXPECT_EQ(scan.map[static_cast<size_t>(scanCellOf(1'000'000, 2'295'104))], kLatencyBucketCount);
}

// Every opcode a run sends, seen on the transport.
class OpcodeRecorder final : public SendGuard {
 public:
  std::string refusal(uint8_t opcode) override {
    sent.set(opcode);
    return {};
  }
  void ended(uint8_t, const DriveFailure&) override {}
  std::bitset<256> sent;
};

// A DVD or BD gets no CD-only command: no READ CD (with C2 or not), no vendor
// CD-DA read, no MODE SELECT to raw blocks; the DAE test is skipped by a line.
TEST(MediumFidelity, NoCdOnlyCommandReachesADvdOrBd) {
  for (const uint8_t target : {uint8_t{8}, uint8_t{12}}) {
    EngineRig rig(target);
    OpcodeRecorder recorder;
    rig.transport.setSendGuard(&recorder);
    rig.settings.testLength = 6;
    rig.onlyTests({TestTransferRate, TestDaeQuality, TestSeekTimes, TestCpuUtilization, TestBurstRate, TestSpinUpDown});
    rig.run();
    ASSERT_TRUE(rig.sequencer->startQualityCheck());
    rig.runToEnd();
    rig.transport.setSendGuard(nullptr);
    for (const uint8_t cdOnly : {uint8_t{0xBE}, uint8_t{0xB9}, uint8_t{0xD8}, uint8_t{0x15}, uint8_t{0x55}}) {
      EXPECT_FALSE(recorder.sent[cdOnly]) << int{target} << ": opcode " << int{cdOnly};
    }
    EXPECT_EQ(rig.host.count("Spin up/down test completed"), 1) << int{target};
    EXPECT_EQ(rig.host.count("Read scan completed"), 1) << int{target};
    EXPECT_EQ(rig.host.count("DAE Quality Test skipped: it reads CD audio, and the disc is a " +
                             rig.results.record.media.medium.profileName),
              1)
        << int{target};
  }
}

}  // namespace
}  // namespace tmx
