// Packing of the option words, the settings file text and the store.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/settings_file.h"
#include "results/app_settings.h"
#include "results/settings_store.h"
#include "scratch_dir.h"

namespace tmx {
namespace {

uint32_t value0With(uint32_t testLength, uint32_t burstKB, uint32_t maxSpeed) {
  return testLength | 0x378u | burstKB << 10 | maxSpeed << 19;
}

AppSettings unpackValue0(uint32_t word) { return unpackSettings({word, 0, 0}); }

TEST(UnpackSettings, DefaultWordGivesTheDefaultsAndBack) {
  const AppSettings s = unpackSettings(kDefaultSettingsWords);
  EXPECT_EQ(s, AppSettings{});
  EXPECT_EQ(s.testLength, 1);
  EXPECT_TRUE(s.runTransferRate && s.runDaeQuality && s.runCpuUtilization && s.runSeekTimes && s.runSpinUpDown);
  EXPECT_FALSE(s.runBurstRate);
  EXPECT_TRUE(s.showRpm);
  EXPECT_EQ(s.burstLengthKB, 32);
  EXPECT_EQ(s.graphMaxSpeed, 50);
  EXPECT_EQ(packSettings(s), kDefaultSettingsWords);
}

TEST(UnpackSettings, TakesEachFlagFromItsOwnBit) {
  for (int bit = 3; bit <= 9; ++bit) {
    const AppSettings s = unpackValue0((value0With(1, 32, 50) | 0x80u) & ~(1u << bit));
    const bool flags[] = {s.runTransferRate, s.runDaeQuality, s.runCpuUtilization, s.runSeekTimes,
                          s.runBurstRate,    s.runSpinUpDown, s.showRpm};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(flags[i], i + 3 != bit) << "bit " << bit << " flag " << i;
  }
  const AppSettings colours = unpackSettings({0x01908379u, 0x12345678u, 0xFFFFFFFFu});
  EXPECT_EQ(colours.rpmColor, 0x12345678u);
  EXPECT_EQ(colours.transferRateColor, 0xFFFFFFFFu);
}

TEST(UnpackSettings, BringsStoredFieldsIntoRange) {
  EXPECT_EQ(unpackValue0(value0With(7, 32, 50)).testLength, 6);
  EXPECT_EQ(unpackValue0(value0With(0, 32, 50)).testLength, 1);
  EXPECT_EQ(unpackValue0(value0With(4, 32, 50)).testLength, 4);

  EXPECT_EQ(unpackValue0(value0With(1, 32, 0)).graphMaxSpeed, 50);
  EXPECT_EQ(unpackValue0(value0With(1, 32, 5)).graphMaxSpeed, 10);
  EXPECT_EQ(unpackValue0(value0With(1, 32, 101)).graphMaxSpeed, 100);
  EXPECT_EQ(unpackValue0(value0With(1, 32, 8191)).graphMaxSpeed, 100);

  for (auto [stored, loaded] : {std::pair{0, 2}, {1, 2}, {2, 2}, {383, 383}, {384, 384}, {385, 2}, {400, 16},
                                {511, 127}}) {
    EXPECT_EQ(unpackValue0(value0With(1, stored, 50)).burstLengthKB, loaded) << "stored " << stored;
  }
}

TEST(PackSettings, RoundTripsInRangeMembersAndBoundsTheRest) {
  for (int speed = 10; speed <= 100; ++speed) {
    const SettingsWordArray words = {value0With(3, 384, speed), 0x00FF00FFu, 0x00000000u};
    EXPECT_EQ(packSettings(unpackSettings(words)), words) << speed;
  }
  AppSettings wild;
  wild.testLength = 0;
  wild.burstLengthKB = 600;  // 9 bits would spill into graphMaxSpeed
  wild.graphMaxSpeed = 9000;
  EXPECT_EQ(packSettings(wild)[0], value0With(1, 384, 100));
  wild.burstLengthKB = -5;
  wild.testLength = 9;
  wild.graphMaxSpeed = 0;
  EXPECT_EQ(packSettings(wild)[0], value0With(6, 2, 10));
}

TEST(SettingsText, ParsesWordsAndIgnoresTheRest) {
  const StoredSettingsWords words = parseSettingsText(
      "# comment\n"
      "  value0 = 0x01908379  # default\r\n"
      "value1=65535\n"
      "value2=0x1FFFFFFFF\n"  // beyond 32 bits
      "value3=1\nvalue=2\nnonsense\n=\nvalue1=12x\n");
  EXPECT_EQ(words[0], 0x01908379u);
  EXPECT_EQ(words[1], 65535u);
  EXPECT_EQ(words[2], std::nullopt);
  EXPECT_EQ(parseSettingsText("value2=1\nvalue2=2")[2], 2u);  // the last wins
  EXPECT_EQ(parseSettingsText("value0=-1")[0], std::nullopt);

  const SettingsWordArray all = {0xDEADBEEFu, 0u, 0xFFFFFFFFu};
  const StoredSettingsWords back = parseSettingsText(formatSettingsText(all));
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(back[i], all[i]);
}

TEST(SettingsFilePath, FollowsTheXdgRules) {
  EXPECT_EQ(settingsFilePath("/cfg", "/home/u"), "/cfg/tachometrix/settings.conf");
  EXPECT_EQ(settingsFilePath("relative", "/home/u"), "/home/u/.config/tachometrix/settings.conf");
  EXPECT_EQ(settingsFilePath("", "/home/u"), "/home/u/.config/tachometrix/settings.conf");
  EXPECT_EQ(settingsFilePath(nullptr, nullptr), std::nullopt);
}

TEST(SettingsStore, MissingFileGivesDefaultsAndTheFirstSaveCreatesIt) {
  testing::ScratchDir dir;
  const auto path = dir / "cfg/tachometrix/settings.conf";
  AppSettings firstStart;
  firstStart.graphAutoScale = true;  // no file yet: the scale fits the drive
  EXPECT_EQ(loadSettings(path), firstStart);
  EXPECT_EQ(loadSettings(std::nullopt), firstStart);

  AppSettings changed;
  changed.testLength = 3;
  changed.runBurstRate = true;
  changed.rpmColor = 0x00112233;
  changed.readSpeedIndex = 4;  // never stored
  ASSERT_EQ(saveSettings(changed, path), 0);
  AppSettings expected = changed;
  expected.readSpeedIndex = 0;
  EXPECT_EQ(loadSettings(path), expected);
  EXPECT_NE(saveSettings(changed, dir / "cfg/tachometrix/settings.conf/inside"), 0);  // a file as folder
}

TEST(SettingsStore, TakesDefaultsForWhatTheFileLacks) {
  testing::ScratchDir dir;
  testing::writeFile(dir / "settings.conf", "value1=0x00ABCDEF\n");
  const AppSettings s = loadSettings(dir / "settings.conf");
  EXPECT_EQ(s.rpmColor, 0x00ABCDEFu);
  EXPECT_EQ(s.transferRateColor, 0x0000FF00u);
  EXPECT_EQ(s.burstLengthKB, 32);
  EXPECT_TRUE(s.graphAutoScale) << "no stored scale: the automatic one";
  // A folder, or a FIFO that would block the start, reads as missing.
  AppSettings firstStart;
  firstStart.graphAutoScale = true;
  EXPECT_EQ(loadSettings(dir.path()), firstStart);
  ASSERT_EQ(::mkfifo((dir / "fifo.conf").c_str(), 0600), 0);
  EXPECT_EQ(loadSettings(dir / "fifo.conf"), firstStart);
}

// The automatic scale is stored beside the three words, which keep their
// layout; a file written before the choice holds a fixed scale and keeps it.
TEST(SettingsStore, TheGraphScaleChoiceStandsBesideTheWords) {
  testing::ScratchDir dir;
  testing::writeFile(dir / "old.conf", "value0=0x01908379\nvalue1=0x0000FFFF\nvalue2=0x0000FF00\n");
  EXPECT_FALSE(loadSettings(dir / "old.conf").graphAutoScale);

  AppSettings automatic;
  automatic.graphAutoScale = true;
  ASSERT_EQ(saveSettings(automatic, dir / "new.conf"), 0);
  const std::string text = testing::readFile(dir / "new.conf");
  EXPECT_EQ(text, "# Tachometrix options\nvalue0=0x01908379\nvalue1=0x0000FFFF\nvalue2=0x0000FF00\ngraphScale=auto\n");
  EXPECT_TRUE(loadSettings(dir / "new.conf").graphAutoScale);
  automatic.graphAutoScale = false;
  ASSERT_EQ(saveSettings(automatic, dir / "new.conf"), 0);
  EXPECT_FALSE(loadSettings(dir / "new.conf").graphAutoScale);
  EXPECT_EQ(parseGraphAutoScale("graphScale = auto # comment\n"), true);
  EXPECT_EQ(parseGraphAutoScale("graphScale=sometimes\n"), std::nullopt);
}

}  // namespace
}  // namespace tmx
