// The window's logic on the emulated preset drives in virtual time: start-up,
// a full run, the drive change, the readiness poll, exit in each phase, the
// commands refused while the drive is busy, and a machine without drives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "emulator/faults.h"
#include "results/settings_store.h"
#include "support/window_rig.h"

namespace tmx::testing {
namespace {

namespace fs = std::filesystem;

bool hasLine(const WindowRig& rig, const std::string& text) {
  const auto& lines = rig.controller.statusLines();
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.ends_with("   " + text); });
}

void pumpUntilLine(WindowRig& rig, const std::string& text) {
  while (rig.controller.busy() && !hasLine(rig, text)) rig.pump();
}

TEST(MainWindowController, StartsOnTheEmulatedDrivesWithTheFirstSelected) {
  WindowRig rig;
  rig.controller.startUp();
  const auto& c = rig.controller;
  EXPECT_EQ(c.driveLines().size(), 12u);
  EXPECT_EQ(c.selectedDrive(), 0);
  EXPECT_EQ(c.texts().discTypeText, "Audio");
  EXPECT_EQ(c.texts().lengthText, "74:00.00");
  EXPECT_EQ(c.texts().speedLabelText, "Current");
  EXPECT_EQ(c.startCaption(), "Start");
  EXPECT_TRUE(c.pollRunning());
  EXPECT_TRUE(rig.dialogs.messages.empty());
  for (int id : {CmdStart, CmdRunSelected, CmdRunSpinUpDown, CmdQualityCheck, CmdDriveList, CmdLoadDat, CmdExit,
                 CmdDocumentation}) {
    EXPECT_TRUE(c.enabled(id)) << id;
  }
  // Greyed at start; the dialogs of these hooks are not wired here.
  for (int id : {CmdSaveBinary, CmdSaveAscii, CmdSaveStatus, CmdOptions, CmdDriveCheck, CmdAbout}) {
    EXPECT_FALSE(c.enabled(id)) << id;
  }
}

TEST(MainWindowController, AFullRunFillsEveryTextAndTheSavesWriteTheirFiles) {
  WindowRig rig;
  rig.controller.startUp();
  rig.fastSettings();
  rig.app.settings().runCpuUtilization = true;
  rig.app.settings().runBurstRate = true;
  ASSERT_TRUE(rig.controller.command(CmdStart));
  EXPECT_EQ(rig.controller.startCaption(), "Stop");
  EXPECT_FALSE(rig.controller.pollRunning());
  rig.runToEnd();
  const auto& c = rig.controller;
  EXPECT_EQ(rig.app.sequencer().lastOutcome(), RunOutcome::Completed);
  EXPECT_EQ(c.startCaption(), "Start");
  EXPECT_TRUE(c.pollRunning());
  const ResultTexts& t = c.texts();
  EXPECT_EQ(t.speedLabelText, "Average");
  for (const std::string* text : {&t.averageText, &t.startText, &t.endText, &t.readingTypeText, &t.randomSeekText,
                                  &t.oneThirdSeekText, &t.fullSeekText, &t.burstText, &t.daeScoreText, &t.cpuTexts[0],
                                  &t.cpuTexts[3]}) {
    EXPECT_FALSE(text->empty());
  }
  for (int id : {CmdSaveBinary, CmdSaveAscii, CmdSaveStatus}) EXPECT_TRUE(c.enabled(id)) << id;

  const fs::path dat = rig.scratch / "run.dat", txt = rig.scratch / "run.txt", status = rig.scratch / "status.txt";
  rig.dialogs.paths = {dat.string(), txt.string(), status.string()};
  EXPECT_TRUE(rig.controller.command(CmdSaveBinary));
  EXPECT_TRUE(rig.controller.command(CmdSaveAscii));
  EXPECT_TRUE(rig.controller.command(CmdSaveStatus));
  ASSERT_EQ(rig.dialogs.choices.size(), 3u);
  EXPECT_EQ(rig.dialogs.choices[0].filter, "DAT files|*.dat||");
  EXPECT_EQ(rig.dialogs.choices[0].defaultExtension, "dat");
  EXPECT_TRUE(rig.dialogs.choices[0].proposedName.ends_with(".dat"));
  EXPECT_EQ(rig.dialogs.choices[1].filter, "TXT files|*.txt||");
  EXPECT_TRUE(rig.dialogs.choices[1].proposedName.ends_with(".txt"));
  EXPECT_EQ(rig.dialogs.choices[2].proposedName, "status.txt");
  EXPECT_EQ(fs::file_size(dat), 1024u);
  EXPECT_GT(fs::file_size(txt), 0u);
  EXPECT_GT(fs::file_size(status), 0u);
  EXPECT_TRUE(rig.dialogs.messages.empty());

  // A save that cannot be written says so and leaves nothing behind.
  rig.dialogs.paths = {(rig.scratch / "missing" / "status.txt").string()};
  rig.controller.command(CmdSaveStatus);
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0], "Error saving file");
  // A cancelled chooser writes nothing and says nothing.
  rig.controller.command(CmdSaveBinary);
  EXPECT_EQ(rig.dialogs.messages.size(), 1u);
}

TEST(MainWindowController, ADriveChangeClearsTheResultsAndGreysBothSaveResultsItems) {
  WindowRig rig;
  rig.controller.startUp();
  rig.fastSettings();
  rig.controller.command(CmdRunTransferRate);
  rig.runToEnd();
  ASSERT_FALSE(rig.controller.texts().averageText.empty());
  ASSERT_TRUE(rig.controller.enabled(CmdSaveBinary));

  rig.controller.selectDrive(1);
  const auto& c = rig.controller;
  EXPECT_EQ(c.selectedDrive(), 1);
  EXPECT_TRUE(c.texts().averageText.empty());
  EXPECT_TRUE(c.texts().startText.empty());
  EXPECT_EQ(c.progress(), 0);
  EXPECT_EQ(c.texts().discTypeText, "Data");
  EXPECT_FALSE(c.enabled(CmdSaveBinary));
  EXPECT_FALSE(c.enabled(CmdSaveAscii));
  EXPECT_TRUE(c.enabled(CmdSaveStatus));
  EXPECT_FALSE(rig.app.results().record.speedSamples[0] >= 0.0);  // no sample: the graph draws none

  // The empty drive: nothing can be measured.
  rig.controller.selectDrive(6);
  EXPECT_EQ(c.texts().discTypeText, "-");
  EXPECT_EQ(c.texts().lengthText, "--:--:--");
  EXPECT_FALSE(c.enabled(CmdStart));
  EXPECT_FALSE(c.enabled(CmdRunSelected));
  EXPECT_FALSE(c.enabled(CmdQualityCheck));

  // The blank CD-R: shown as blank, and no test that reads the disc offered.
  rig.controller.selectDrive(5);
  EXPECT_EQ(c.texts().discTypeText, "Blank") << "before: Data";
  EXPECT_EQ(c.texts().lengthText, " 0:00.00") << "before: 0:-2.00";
  EXPECT_FALSE(c.enabled(CmdStart));
  EXPECT_FALSE(c.enabled(CmdRunTransferRate));
  EXPECT_FALSE(c.enabled(CmdQualityCheck));
}

TEST(MainWindowController, ThePollRereadsTheDiscPanelWithinOneTickOfAChange) {
  WindowRig rig;
  rig.controller.startUp();
  rig.controller.readinessTick();
  EXPECT_EQ(rig.controller.texts().discTypeText, "Audio");

  const emu::DiscSpec disc = rig.drive(0).disc()->spec();
  rig.drive(0).removeDisc();
  rig.controller.readinessTick();
  EXPECT_EQ(rig.controller.texts().discTypeText, "-");
  EXPECT_EQ(rig.controller.texts().lengthText, "--:--:--");
  EXPECT_FALSE(rig.controller.enabled(CmdStart));

  rig.drive(0).insertDisc(disc);
  rig.controller.readinessTick();
  EXPECT_EQ(rig.controller.texts().discTypeText, "Audio");
  EXPECT_EQ(rig.controller.texts().lengthText, "74:00.00");
  EXPECT_TRUE(rig.controller.enabled(CmdStart));
}

TEST(MainWindowController, AHungDriveHoldsThePollForTheShortTimeoutThenIsLeftAlone) {
  WindowRig rig;
  rig.controller.startUp();
  rig.drive(0).faults().add(std::get<emu::Fault>(emu::parseFault("hang@00*all")));
  Clock& clock = rig.app.clock();
  uint32_t before = clock.tickMs();
  rig.controller.readinessTick();
  EXPECT_EQ(clock.tickMs() - before, 2000u);
  // The disc has not gone: a timeout says nothing about it.
  EXPECT_EQ(rig.controller.texts().discTypeText, "Audio");
  before = clock.tickMs();
  for (int i = 0; i < MainWindowController::kPollBackoffTicks; ++i) rig.controller.readinessTick();
  EXPECT_EQ(clock.tickMs() - before, 0u);
  rig.controller.readinessTick();
  EXPECT_EQ(clock.tickMs() - before, 2000u);
}

// The default drive made to read audio only with READ(10) in 2352-byte
// blocks: a run switches its block mode, and exit must switch it back.
void rawAudioOnly(StartOptions& o) {
  const fs::path config = o.settingsPath->parent_path() / "drives.json";
  std::ofstream(config) << R"({"drives": [{"target": 0, "preset": "cav52-audio74", "drive": {"reject": ["BE", "D8"]}}]})";
  o.emulatedConfig = config.string();
}

TEST(MainWindowController, ExitInEachPhaseJoinsTheWorkerRestoresTheBlockModeAndSavesTheSettings) {
  for (const std::string phase :
       {"Initializing", "Starting transfer rate test", "Starting DAE quality test - start", "Starting 1/3 seek test",
        "Starting burst rate test", "Starting spin down time test"}) {
    SCOPED_TRACE(phase);
    WindowRig rig(rawAudioOnly);
    rig.controller.startUp();
    ASSERT_EQ(rig.controller.driveLines().size(), 1u);
    rig.fastSettings();
    rig.app.settings().runBurstRate = true;
    rig.controller.command(CmdStart);
    EXPECT_EQ(rig.app.sequencer().state().readMethod, ReadMethodRead10Raw);
    EXPECT_EQ(rig.drive(0).blockMode().blockLength, 2352u);
    pumpUntilLine(rig, phase);
    ASSERT_TRUE(hasLine(rig, phase));
    // The exit's first step, on its own so the drive can be looked at before
    // the manager is unloaded.
    rig.app.stopWorker([&] { rig.pump(); });
    EXPECT_FALSE(rig.controller.busy());
    EXPECT_EQ(rig.drive(0).blockMode().blockLength, 2048u);
    rig.shutdown();
    EXPECT_TRUE(rig.controller.isShutDown());
    EXPECT_FALSE(rig.controller.pollRunning());
    EXPECT_TRUE(fs::exists(rig.scratch / "settings"));
    EXPECT_FALSE(rig.controller.enabled(CmdStart));
    EXPECT_FALSE(rig.app.transport().loaded());
    rig.shutdown();  // a second exit does nothing
  }
}

TEST(MainWindowController, WhileBusyTheCommandsThatTouchTheDriveOrTheRecordAreRefused) {
  WindowRig rig;
  bool checked = false;
  rig.controller.hooks.options = [] { return true; };
  rig.controller.hooks.driveCheck = [&](DriveAddress) { checked = true; };
  rig.controller.startUp();
  rig.fastSettings();
  rig.controller.command(CmdStart);
  pumpUntilLine(rig, "Starting transfer rate test");
  ASSERT_TRUE(rig.controller.busy());
  for (int id : {CmdDriveList, CmdLoadDat, CmdSaveBinary, CmdSaveAscii, CmdOptions, CmdDriveCheck, CmdQualityCheck}) {
    EXPECT_FALSE(rig.controller.enabled(id)) << id;
    EXPECT_FALSE(rig.controller.command(id)) << id;
  }
  rig.controller.selectDrive(1);
  EXPECT_EQ(rig.controller.selectedDrive(), 0);
  EXPECT_TRUE(rig.dialogs.choices.empty());
  EXPECT_FALSE(checked);
  // Start reads "Stop" and stops.
  EXPECT_TRUE(rig.controller.enabled(CmdSaveStatus));
  EXPECT_TRUE(rig.controller.command(CmdStart));
  rig.runToEnd();
  EXPECT_EQ(rig.app.sequencer().lastOutcome(), RunOutcome::Cancelled);
  EXPECT_TRUE(rig.controller.enabled(CmdDriveCheck));
}

TEST(MainWindowController, AFaultGivenAtStartAbortsTheRunAndTheOutcomeSaysSo) {
  WindowRig rig([](StartOptions& o) { o.faults = {"read-error@20000"}; });
  rig.controller.startUp();
  EXPECT_TRUE(rig.dialogs.messages.empty());
  rig.fastSettings();
  rig.controller.command(CmdRunTransferRate);
  rig.runToEnd();
  EXPECT_EQ(rig.app.sequencer().lastOutcome(), RunOutcome::Aborted);
  EXPECT_TRUE(hasLine(rig, "Test aborted"));
  EXPECT_EQ(rig.controller.startCaption(), "Start");
  EXPECT_TRUE(rig.controller.pollRunning());

  WindowRig bad([](StartOptions& o) { o.faults = {"no-such-fault"}; });
  bad.controller.startUp();
  ASSERT_EQ(bad.dialogs.messages.size(), 1u);
  EXPECT_TRUE(bad.dialogs.messages[0].starts_with("--fault no-such-fault"));
}

TEST(MainWindowController, TheDriveCheckRunsWithThePollStoppedAndRestartsIt) {
  WindowRig rig;
  bool pollDuringCheck = true;
  DriveAddress checkedDrive{9, 9};
  rig.controller.hooks.driveCheck = [&](DriveAddress drive) {
    pollDuringCheck = rig.controller.pollRunning();
    checkedDrive = drive;
  };
  rig.controller.startUp();
  rig.controller.selectDrive(2);
  EXPECT_TRUE(rig.controller.command(CmdDriveCheck));
  EXPECT_FALSE(pollDuringCheck);
  EXPECT_EQ(checkedDrive.target, 2);
  EXPECT_TRUE(rig.controller.pollRunning());
}

TEST(MainWindowController, WithoutAnyDriveTheWindowStaysUsableAndSendsNothing) {
  WindowRig rig([](StartOptions& o) { o.emulatedDrives = false; });
  rig.controller.startUp();
  ASSERT_EQ(rig.dialogs.messages, std::vector<std::string>{"No drives to use: both real and emulated drives are off"});
  const auto& c = rig.controller;
  EXPECT_TRUE(c.driveLines().empty());
  EXPECT_FALSE(c.pollRunning());
  for (int id : {CmdStart, CmdRunSelected, CmdQualityCheck, CmdDriveList, CmdSaveBinary, CmdDriveCheck}) {
    EXPECT_FALSE(c.enabled(id)) << id;
  }
  EXPECT_TRUE(c.enabled(CmdLoadDat));
  EXPECT_TRUE(c.enabled(CmdExit));
  rig.controller.readinessTick();
  rig.controller.selectDrive(0);
  EXPECT_FALSE(rig.controller.command(CmdStart));
  rig.shutdown();
  EXPECT_TRUE(rig.controller.isShutDown());
}

TEST(MainWindowController, AnAdapterWithoutCdRomDrivesOrABadConfigurationLeavesTheWindowIdle) {
  WindowRig disksOnly([](StartOptions& o) {
    const fs::path config = o.settingsPath->parent_path() / "drives.json";
    std::ofstream(config) << R"({"drives": [{"target": 4, "disk": {"vendor": "ACME", "product": "HARD DISK"}}]})";
    o.emulatedConfig = config.string();
  });
  disksOnly.controller.startUp();
  EXPECT_EQ(disksOnly.dialogs.messages, std::vector<std::string>{"No CD-ROM drives found"});
  EXPECT_FALSE(disksOnly.controller.pollRunning());
  EXPECT_FALSE(disksOnly.controller.enabled(CmdStart));

  WindowRig badConfig([](StartOptions& o) { o.emulatedConfig = (o.settingsPath->parent_path() / "none.json").string(); });
  badConfig.controller.startUp();
  ASSERT_EQ(badConfig.dialogs.messages.size(), 2u);
  EXPECT_NE(badConfig.dialogs.messages[0].find("none.json"), std::string::npos);
  EXPECT_EQ(badConfig.dialogs.messages[1], "No drives to use: the emulated drives could not be loaded");
  EXPECT_TRUE(badConfig.controller.enabled(CmdLoadDat));
}

TEST(MainWindowController, TheQualityCheckAsksFirstOnADriveWithoutC2AndADatLoadLeavesItsMap) {
  WindowRig rig;
  rig.controller.startUp();
  rig.controller.selectDrive(2);  // no C2 pointers
  rig.dialogs.answerYes = false;
  EXPECT_TRUE(rig.controller.command(CmdQualityCheck));
  EXPECT_EQ(rig.dialogs.questions.size(), 1u);
  EXPECT_FALSE(rig.controller.busy());
  EXPECT_FALSE(rig.controller.enabled(CmdSaveStatus));

  rig.controller.selectDrive(0);
  rig.controller.command(CmdQualityCheck);
  EXPECT_TRUE(rig.controller.graph().qualityMode());
  EXPECT_TRUE(rig.controller.enabled(CmdSaveStatus));
  EXPECT_FALSE(rig.controller.enabled(CmdSaveBinary));
  rig.runToEnd();
  EXPECT_EQ(rig.app.sequencer().lastOutcome(), RunOutcome::Completed);
  EXPECT_TRUE(hasLine(rig, "CD quality check completed"));
  EXPECT_GE(rig.app.results().record.qualityMap[1], 0);

  // Stop during a check keeps what it mapped so far, in quality mode.
  rig.controller.command(CmdQualityCheck);
  pumpUntilLine(rig, "Starting CD quality check");
  while (rig.app.results().record.qualityMap[2] < 0) rig.pump();
  EXPECT_TRUE(rig.controller.command(CmdStart));
  rig.runToEnd();
  EXPECT_EQ(rig.app.sequencer().lastOutcome(), RunOutcome::Cancelled);
  EXPECT_TRUE(rig.controller.graph().qualityMode());
  EXPECT_GE(rig.app.results().record.qualityMap[2], 0);

  // A drive change leaves quality mode.
  rig.controller.selectDrive(1);
  EXPECT_FALSE(rig.controller.graph().qualityMode());
  EXPECT_EQ(rig.app.results().record.qualityMap[2], -1);
  rig.controller.selectDrive(0);

  // Save a run's file first, then load it: the map goes, and so does quality mode.
  const fs::path dat = rig.scratch / "a.dat";
  rig.fastSettings();
  rig.controller.command(CmdRunBurstRate);
  rig.runToEnd();
  rig.controller.command(CmdQualityCheck);
  rig.runToEnd();
  ASSERT_TRUE(rig.controller.graph().qualityMode());
  rig.dialogs.paths = {dat.string(), dat.string()};
  rig.controller.command(CmdSaveBinary);
  rig.controller.command(CmdLoadDat);
  EXPECT_FALSE(rig.controller.graph().qualityMode());
  EXPECT_EQ(rig.app.results().record.qualityMap[1], -1);
  EXPECT_NE(rig.controller.statusLines().back().find("DAT file (V"), std::string::npos);

  // A file that cannot be opened: the box, nothing else.
  rig.dialogs.paths = {(rig.scratch / "none.dat").string()};
  rig.controller.command(CmdLoadDat);
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_TRUE(rig.dialogs.messages.back().starts_with("Error opening "));
}

TEST(MainWindowController, DocumentationOpensTheFirstManualFound) {
  WindowRig rig;
  const fs::path manual = rig.scratch / "tachometrixdoc.htm";
  rig.controller.hooks.documentationPaths = {(rig.scratch / "nowhere" / "tachometrixdoc.htm").string(),
                                             manual.string()};
  rig.controller.startUp();
  rig.controller.command(CmdDocumentation);
  EXPECT_TRUE(rig.dialogs.opened.empty());
  EXPECT_EQ(rig.dialogs.messages.size(), 1u);
  { std::ofstream(manual) << "<html></html>"; }
  rig.controller.command(CmdDocumentation);
  EXPECT_EQ(rig.dialogs.opened, std::vector<std::string>{manual.string()});
}

TEST(MainWindowController, AcceptedOptionsRedrawTheGraphAtOnceAndCancelledOnesDoNot) {
  WindowRig rig;
  rig.controller.startUp();
  auto labelled = [&](const std::string& text) {
    const auto& shapes = rig.controller.graph().shapes();
    return std::any_of(shapes.begin(), shapes.end(),
                       [&](const GraphShape& s) { return s.kind == GraphShape::Kind::Text && s.text == text; });
  };
  rig.controller.redrawGraph();
  ASSERT_TRUE(labelled("48X"));
  // The dialog's Apply: a full scale of 60 X labels the axis up to 56 X.
  rig.controller.hooks.options = [&] {
    rig.app.settings().graphMaxSpeed = 60;
    return true;
  };
  ASSERT_TRUE(rig.controller.command(CmdOptions));
  EXPECT_TRUE(labelled("56X"));
  // Cancel: the settings stay, and nothing is redrawn.
  rig.controller.hooks.options = [] { return false; };
  const auto before = rig.controller.graph().shapes();
  rig.controller.command(CmdOptions);
  EXPECT_EQ(rig.controller.graph().shapes(), before);
}

// Accepted options are written at once; a settings file that cannot be
// written is said in the status list, once, with its reason.
TEST(MainWindowController, AcceptedOptionsAreSavedAndAFailureIsSaidOnce) {
  ScratchDir place;
  writeFile(place / "not-a-folder", "");
  WindowRig rig([&](StartOptions& o) { o.settingsPath = place / "not-a-folder" / "settings"; });
  rig.controller.startUp();
  rig.controller.hooks.options = [&] {
    rig.app.settings().testLength = 3;
    return true;
  };
  const auto failures = [&] {
    const auto& lines = rig.controller.statusLines();
    return std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
      return l.find("Options could not be saved to ") != std::string::npos;
    });
  };
  ASSERT_TRUE(rig.controller.command(CmdOptions));
  ASSERT_EQ(failures(), 1) << "before: lost without a word";
  const std::string& line = rig.controller.statusLines().back();
  EXPECT_NE(line.find("not-a-folder/settings: Not a directory"), std::string::npos) << line;
  rig.controller.command(CmdOptions);
  EXPECT_EQ(failures(), 1);

  WindowRig writable;
  writable.controller.startUp();
  writable.controller.hooks.options = [&] {
    writable.app.settings().testLength = 3;
    return true;
  };
  writable.controller.command(CmdOptions);
  EXPECT_EQ(loadSettings(writable.scratch / "settings").testLength, 3) << "written before the window closes";
}

}  // namespace
}  // namespace tmx::testing
