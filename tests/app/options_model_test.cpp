// The options dialog's decisions without widgets: the read speed commands and
// texts, the parse and bounds of Apply, and a copy that changes nothing until
// applied.
#include "app/options_model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/engine_rig.h"
#include "support/speed_drive.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

class OptionsModelTest : public ::testing::Test, public testing::SpeedDrive {};

TEST(OptionsTexts, SpeedTextsAndUnsignedFields) {
  EXPECT_EQ(driveSpeedText(5645), "32 X");
  EXPECT_EQ(driveSpeedText(706), "4 X");
  EXPECT_EQ(driveSpeedText(175), "0 X");
  EXPECT_EQ(driveSpeedText(0), "N/A") << "a page without speeds measured nothing";

  EXPECT_EQ(parseUnsignedField("64"), 64u);
  EXPECT_EQ(parseUnsignedField("  007 "), 7u);
  EXPECT_EQ(parseUnsignedField("0"), 0u);
  EXPECT_EQ(parseUnsignedField("4294967295"), 4294967295u);
  for (const char* bad : {"", "  ", "-5", "+5", "12a", "1 2", "0x10", "4294967296", "99999999999999999999"}) {
    EXPECT_FALSE(parseUnsignedField(bad)) << '"' << bad << '"';
  }
}

TEST_F(OptionsModelTest, OpensOnTheCopyAndTheDrivesSpeeds) {
  AppSettings settings;
  settings.testLength = 3;
  settings.readSpeedIndex = 4;
  OptionsModel model(settings, &commands, drive);
  EXPECT_EQ(model.testLengthIndex(), 2);
  EXPECT_STREQ(kTestLengthTexts[static_cast<size_t>(model.testLengthIndex())], "1:3");
  EXPECT_EQ(model.values().readSpeedIndex, 4);
  EXPECT_EQ(model.maximumSpeedText(), "32 X");
  EXPECT_EQ(model.currentSpeedText(), "4 X");
  EXPECT_TRUE(speedCommands().empty()) << "opening sends no speed";

  model.chooseTestLength(5);
  EXPECT_EQ(model.values().testLength, 6);
  model.chooseTestLength(6);  // not in the list
  EXPECT_EQ(model.values().testLength, 6);
  EXPECT_EQ(settings.testLength, 3) << "the caller's options are untouched";
}

TEST_F(OptionsModelTest, ReadSpeedChoiceSendsAtOnceAndRefreshes) {
  OptionsModel model(AppSettings{}, &commands, drive);
  model.chooseReadSpeed(6);  // "4 X"
  ASSERT_EQ(speedCommands().size(), 1u);
  EXPECT_EQ(speedCommands()[0], (Bytes{0xBB, 0, 0x02, 0xC4, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(model.values().readSpeedIndex, 6);

  model.chooseReadSpeed(1);  // "maximum"
  ASSERT_EQ(speedCommands().size(), 2u);
  EXPECT_EQ(speedCommands()[1][2], 0xFF);
  EXPECT_EQ(speedCommands()[1][3], 0xFF);
  EXPECT_EQ(model.currentSpeedText(), "32 X");

  // "default" sends nothing, but the fields still show what the drive says now.
  current = 1412;
  log.clear();
  model.chooseReadSpeed(0);
  EXPECT_TRUE(speedCommands().empty());
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(model.currentSpeedText(), "8 X");

  const int table[] = {0, 0xFFFF, 5664, 2832, 2124, 1416, 708, 354, 177};
  for (size_t i = 1; i < kReadSpeeds.size(); ++i) EXPECT_EQ(kReadSpeeds[i].kbPerSecond, table[i]) << i;
}

TEST_F(OptionsModelTest, NoAnswerOrNoDriveShowsNotAvailable) {
  answersSpeeds = false;
  OptionsModel model(AppSettings{}, &commands, drive);
  EXPECT_EQ(model.maximumSpeedText(), "N/A");
  EXPECT_EQ(model.currentSpeedText(), "N/A");

  log.clear();
  OptionsModel noDrive(AppSettings{}, &commands, std::nullopt);
  noDrive.chooseReadSpeed(2);
  EXPECT_TRUE(log.empty()) << "without a drive nothing is sent";
  EXPECT_EQ(noDrive.currentSpeedText(), "N/A");
  EXPECT_EQ(noDrive.values().readSpeedIndex, 2);
}

TEST_F(OptionsModelTest, ApplyParsesAndBoundsBothFields) {
  OptionsModel model(AppSettings{}, &commands, drive);
  EXPECT_EQ(model.apply("60", "64"), OptionsField::None);
  EXPECT_EQ(model.values().graphMaxSpeed, 60);
  EXPECT_EQ(model.values().burstLengthKB, 64);

  EXPECT_EQ(model.apply("5", "1"), OptionsField::None);
  EXPECT_EQ(model.values().graphMaxSpeed, 10);
  EXPECT_EQ(model.values().burstLengthKB, 2);
  EXPECT_EQ(model.apply("200", "4000000000"), OptionsField::None);
  EXPECT_EQ(model.values().graphMaxSpeed, 100);
  EXPECT_EQ(model.values().burstLengthKB, 384);
  // The bounded value survives the settings words.
  EXPECT_EQ(unpackSettings(packSettings(model.values())).burstLengthKB, 384);

  // A field that is not a number changes nothing, not even the other field.
  EXPECT_EQ(model.apply("50", "abc"), OptionsField::BurstLength);
  EXPECT_EQ(model.apply("-1", "32"), OptionsField::GraphMaxSpeed);
  EXPECT_EQ(model.values().graphMaxSpeed, 100);
  EXPECT_EQ(model.values().burstLengthKB, 384);
  EXPECT_EQ(model.graphMaxSpeedField(), "100");
}

TEST(OptionsModelRun, NoTestSelectedIsAcceptedAndStartSaysSo) {
  testing::EngineRig rig(1);
  OptionsModel model(rig.settings, &rig.commands, rig.table.selectedDrive());
  auto& v = model.values();
  v.runTransferRate = v.runDaeQuality = v.runSeekTimes = false;
  v.runCpuUtilization = v.runBurstRate = v.runSpinUpDown = false;
  ASSERT_EQ(model.apply(model.graphMaxSpeedField(), model.burstLengthField()), OptionsField::None);
  rig.settings = model.values();
  rig.run();
  EXPECT_EQ(rig.host.messages, std::vector<std::string>{"No test selected"});
}

// Every opcode sent while the dialog is open.
class OpcodeLog final : public SendGuard {
 public:
  std::string refusal(uint8_t opcode) override {
    sent.push_back(opcode);
    return {};
  }
  void ended(uint8_t, const DriveFailure&) override {}
  std::vector<uint8_t> sent;
};

// A DVD's speeds are the DVD's X, set by SET STREAMING; the fastest stays
// what the drive said before a slower speed was chosen.
TEST(OptionsModelRun, ADvdsSpeedsInItsOwnX) {
  testing::EngineRig rig(8);
  ASSERT_EQ(rig.probe.medium().kind, MediumKind::DVD);
  OpcodeLog log;
  rig.transport.setSendGuard(&log);
  OptionsModel model(rig.settings, &rig.commands, rig.table.selectedDrive(), rig.probe.medium());
  EXPECT_EQ(model.maximumSpeedText(), "16 X");
  EXPECT_EQ(model.currentSpeedText(), "16 X");

  log.sent.clear();
  model.chooseReadSpeed(6);  // "4 X"
  EXPECT_EQ(model.maximumSpeedText(), "16 X");
  EXPECT_EQ(model.currentSpeedText(), "4 X");
  model.chooseReadSpeed(1);  // "maximum"
  EXPECT_EQ(model.currentSpeedText(), "16 X");
  rig.transport.setSendGuard(nullptr);
  EXPECT_EQ(std::count(log.sent.begin(), log.sent.end(), uint8_t{0xB6}), 2);
  for (const uint8_t cdOnly : {uint8_t{0xBB}, uint8_t{0x5A}}) {
    EXPECT_EQ(std::count(log.sent.begin(), log.sent.end(), cdOnly), 0) << int{cdOnly};
  }
}

}  // namespace
}  // namespace tmx
