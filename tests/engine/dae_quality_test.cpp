// The DAE quality test and the CD quality check on the emulated presets.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/engine_rig.h"
#include "support/private_folder.h"
#include "results/scratch_dir.h"
#include "engine/workers.h"

namespace tmx {
namespace {

using testing::EngineRig;
using testing::PrivateFolder;

emu::DiscSpec audioDisc(int32_t sectors, bool silent = false) {
  emu::DiscSpec d;
  d.content = emu::DiscContent::Audio;
  d.sectors = sectors;
  d.silent = silent;
  return d;
}

void changeDisc(EngineRig& rig, const emu::DiscSpec& disc) {
  rig.drive().insertDisc(disc);
  rig.probe.refreshDiscPanel(rig.table.selectedDrive());  // takes the unit attention
}

TEST(DaeQuality, AccurateStreamDriveScoresTen) {
  PrivateFolder folder;
  EngineRig rig(0);
  rig.onlyTests({TestDaeQuality});
  rig.run();
  EXPECT_EQ(rig.host.count("Errors: 0"), 4) << "one per position and the final repeat";
  EXPECT_EQ(rig.host.count("DAE quality test completed"), 1);
  EXPECT_EQ(rig.results.record.daeScore, 10);
  EXPECT_EQ(rig.results.record.accurateStream, 1);
  EXPECT_TRUE(rig.results.texts.accurateStreamBox);
  EXPECT_EQ(rig.results.texts.daeScoreText, "10");
}

TEST(DaeQuality, DriveWithoutAccurateStreamScoresLowerAndSkipsTheBackwardRun) {
  PrivateFolder folder;
  EngineRig rig(2);
  rig.onlyTests({TestDaeQuality});
  rig.run();
  EXPECT_EQ(rig.host.count("DAE quality test completed"), 1);
  EXPECT_LT(rig.results.record.daeScore, 10);
  EXPECT_EQ(rig.results.record.accurateStream, 0);
  EXPECT_FALSE(rig.results.texts.accurateStreamBox);
  // The backward stage reports progress above 50; it never ran.
  EXPECT_EQ(rig.host.count("Starting advanced DAE quality test"), 1);
  EXPECT_LE(rig.host.progressHistory.back(), 50);
}

TEST(DaeQuality, DigitalSilenceLeavesTheScoreButAbortsTheAdvancedStage) {
  PrivateFolder folder;
  EngineRig rig(0);
  changeDisc(rig, audioDisc(60 * 4500, true));
  rig.onlyTests({TestDaeQuality, TestBurstRate});
  rig.run();
  const auto& lines = rig.host.lines;
  const auto reason = std::find(lines.begin(), lines.end(), "Unable to run advanced DAE test, please use another disc");
  ASSERT_NE(reason, lines.end());
  EXPECT_EQ(*(reason + 1), "Test aborted");
  EXPECT_EQ(rig.results.record.daeScore, 10) << "the score was set before the search";
  EXPECT_EQ(rig.host.count("Starting burst rate test"), 0);
}

// The extraction stays in memory: a link named audio.raw in the current
// folder (where a scratch file once went) and every other file are left
// alone, and the score is the clean disc's.
TEST(DaeQuality, TouchesNoFileOfTheUsers) {
  PrivateFolder folder;
  testing::writeFile("victim.txt", "precious");
  std::filesystem::create_symlink("victim.txt", "audio.raw");
  {
    EngineRig rig(0);
    rig.onlyTests({TestDaeQuality});
    rig.run();
    EXPECT_EQ(rig.results.record.daeScore, 10);
  }
  EXPECT_EQ(testing::readFile("victim.txt"), "precious") << "before: overwritten with 1.8 MB of audio";
  EXPECT_TRUE(std::filesystem::is_symlink("audio.raw"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
}

// The map the check must produce from the disc's damage: entry 0 holds the
// first read (15 sectors), entry i the 900 sectors from 900(i-1)+15.
struct ExpectedCheck {
  int32_t total = 0;
  std::vector<int32_t> map;
};

ExpectedCheck expectedCheck(const emu::Disc& disc) {
  ExpectedCheck e;
  const int32_t read = disc.capacity() / 15 * 15;
  int32_t block = 0;
  for (int32_t lba = 0; lba < read; lba += 15) {
    for (int32_t s = lba; s < lba + 15; ++s) block += disc.damageAt(s).badBytes;
    if (lba % 900 == 0) {
      e.map.push_back(qualityClass(block));
      block = 0;
    }
  }
  for (int32_t s = 0; s < read; ++s) e.total += disc.damageAt(s).badBytes;
  return e;
}

TEST(QualityCheck, FindsExactlyThePlantedC2Errors) {
  EngineRig rig(0);
  emu::DiscSpec disc = audioDisc(40 * 4500);
  disc.damage = {{0, 15, 1.0, false}, {890, 30, 1.0, false}, {20'000, 2'000, 0.3, false}, {179'990, 10, 1.0, false}};
  changeDisc(rig, disc);
  ASSERT_TRUE(rig.sequencer->startQualityCheck());
  rig.runToEnd();
  EXPECT_TRUE(rig.host.questions.empty()) << "a drive with C2 pointers is not asked about";
  const ExpectedCheck expected = expectedCheck(*rig.drive().disc());
  ASSERT_GT(expected.total, 0);
  EXPECT_EQ(rig.results.record.qualityErrors, expected.total);
  for (size_t i = 0; i < expected.map.size(); ++i) EXPECT_EQ(rig.results.record.qualityMap[i], expected.map[i]) << i;
  EXPECT_EQ(rig.results.record.qualityMap[expected.map.size()], -1);
  EXPECT_GT(rig.results.record.qualityMap[0], 0) << "the first 15 sectors are damaged";
  EXPECT_EQ(rig.host.count("CD quality check completed"), 1);
  EXPECT_EQ(rig.drive().blockMode().blockLength, 2048u);
}

TEST(QualityCheck, ShortDiscReadsWholeGroupsOnly) {
  EngineRig rig(0);
  changeDisc(rig, audioDisc(310));  // the shortest disc is 300 sectors (4 s)
  ASSERT_EQ(rig.probe.storedLength(), 310);
  ASSERT_TRUE(rig.sequencer->startQualityCheck());
  rig.runToEnd();
  EXPECT_EQ(rig.sequencer->state().currentLba, 300) << "20 reads of 15 sectors; 300-309 are not read";
  EXPECT_EQ(rig.host.count("0 errors (0.000%)"), 1);
}

TEST(QualityCheck, AsksFirstWhenTheDriveReportsNoC2Support) {
  EngineRig rig(2);
  rig.host.answerYes = false;
  EXPECT_FALSE(rig.sequencer->startQualityCheck());
  ASSERT_EQ(rig.host.questions.size(), 1u);
  EXPECT_EQ(rig.host.questions[0], "This drive seems incapable of returning error information\r\nContinue anyway?");
  EXPECT_TRUE(rig.host.lines.empty());
  EXPECT_EQ(rig.host.caption, "Start");
}

TEST(QualityCheck, ReadErrorAndStopRestoreTheBlockMode) {
  {
    EngineRig rig(1);  // data disc read with READ(10): the check switches to 2646-byte blocks
    rig.drive().faults().add(emu::Fault{emu::Fault::Kind::ReadError, 90'000, 90'000});
    ASSERT_TRUE(rig.sequencer->startQualityCheck());
    rig.runToEnd();
    EXPECT_EQ(rig.host.count("Test aborted"), 1);
    EXPECT_FALSE(rig.sequencer->state().qualityCheckActive) << "the map leaves the graph";
    EXPECT_EQ(rig.drive().blockMode().blockLength, 2048u);
  }
  {
    EngineRig rig(1);
    rig.host.onStatusLine = [&](const std::string& line) {
      if (line == "Starting CD quality check") rig.sequencer->startRun();
    };
    ASSERT_TRUE(rig.sequencer->startQualityCheck());
    rig.runToEnd();
    EXPECT_EQ(rig.host.count("Test cancelled by user"), 1);
    EXPECT_EQ(rig.drive().blockMode().blockLength, 2048u);
  }
}

}  // namespace
}  // namespace tmx
