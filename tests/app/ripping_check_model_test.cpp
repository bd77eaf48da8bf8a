// The ripping-features window's logic on the emulated default drive in
// virtual time: which discs it refuses, a whole check pumped to its end, a
// stop, and the check's section in the text report of the drive's run.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/ripping_check_model.h"
#include "ripping/ripping_text.h"
#include "support/window_rig.h"

namespace tmx::testing {
namespace {

void pumpToEnd(RippingCheckModel& model) {
  while (model.running()) {
    model.pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

RippingCheckModel modelOf(WindowRig& rig, StatusSink* status = nullptr) {
  const DriveAddress drive = rig.app.drives().selectedDrive();
  const DiscPanel panel = rig.app.probe().refreshDiscPanel(drive);
  return RippingCheckModel(rig.app.commands(), drive, rig.app.clock(),
                           rippingStartOf(panel, rig.app.probe().medium().kind, rig.app.probe().storedLength()),
                           status);
}

TEST(RippingCheckModel, OnlyARecordedCdMayBeChecked) {
  DiscPanel audio;
  audio.kind = 1;
  audio.typeText = "Audio";
  EXPECT_EQ(rippingStartOf(audio, MediumKind::CD, 333000).refusal, "");
  EXPECT_EQ(rippingStartOf(audio, MediumKind::CD, 333000).disc.sectors, 333000);
  DiscPanel data = audio;
  data.kind = 0;
  EXPECT_EQ(rippingStartOf(data, MediumKind::CD, 1000).refusal, "");  // the parts that mean something there run

  EXPECT_EQ(rippingStartOf(data, MediumKind::DVD, 2'295'104).refusal,
            "The disc is a DVD: the ripping features check is for CDs (audio, C2 pointers and sub-channel are a CD's)");
  DiscPanel blank;
  blank.kind = 0;
  blank.blank = true;
  blank.typeText = "Blank";
  EXPECT_EQ(rippingStartOf(blank, MediumKind::CD, 0).refusal,
            "Insert a recorded CD: the ripping features check reads the disc (type Blank)");
  DiscPanel none;  // no disc, or a TOC that could not be read
  EXPECT_NE(rippingStartOf(none, MediumKind::CD, 333000).refusal, "");

  WindowRig rig;
  rig.controller.startUp();
  RippingCheckModel refused(rig.app.commands(), rig.app.drives().selectedDrive(), rig.app.clock(),
                            rippingStartOf(blank, MediumKind::CD, 0));
  EXPECT_FALSE(refused.canStart());
  EXPECT_FALSE(refused.start(false));
  EXPECT_FALSE(refused.running());
}

TEST(RippingCheckModel, AWholeCheckComesPartByPartAndEndsWithTheVerdict) {
  WindowRig rig;
  rig.controller.startUp();
  RecordingStatusSink status;
  RippingCheckModel model = modelOf(rig, &status);
  int wakes = 0;
  model.setWake([&] { ++wakes; });
  ASSERT_TRUE(model.canStart());
  ASSERT_TRUE(model.start(false));
  EXPECT_TRUE(model.running());
  EXPECT_FALSE(model.start(false));  // one check at a time

  // Without a pump the worker wakes the window once, however much it sends.
  while (wakes == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(wakes, 1);

  std::vector<size_t> answerCounts;
  while (model.running()) {
    if (model.pump()) answerCounts.push_back(model.answerLines().size());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(model.finished());
  EXPECT_FALSE(model.finishedStopped());
  EXPECT_EQ(model.percent(), 100);
  EXPECT_EQ(model.answerLines(), rippingTextLines(*model.finished()));
  EXPECT_EQ(model.answerLines().front(), "Ripping features (audio disc)");
  EXPECT_TRUE(model.answerLines()[model.answerLines().size() - 4].starts_with("Verdict: No audio cache; C2 pointers reliable"));
  // The answers grew as parts ended; the status lines went to the window's list too.
  EXPECT_TRUE(std::is_sorted(answerCounts.begin(), answerCounts.end()));
  EXPECT_FALSE(model.statusLines().empty());
  EXPECT_EQ(status.lines, model.statusLines());
  EXPECT_EQ(model.lastStatus(), model.finished()->verdict);
  EXPECT_TRUE(model.canStart());  // again, once it ended
}

TEST(RippingCheckModel, StopEndsTheCheckAfterTheCommandInFlight) {
  WindowRig rig;
  rig.controller.startUp();
  RippingCheckModel model = modelOf(rig);
  ASSERT_TRUE(model.start(true));
  model.stop();
  EXPECT_TRUE(model.stopping());
  pumpToEnd(model);
  ASSERT_TRUE(model.finished());
  EXPECT_TRUE(model.finishedStopped());
  EXPECT_FALSE(model.stopping());
  const RippingFeatures& f = *model.finished();
  EXPECT_EQ(f.speedPart.skipped, "stopped");  // not "no read command returns whole sectors"
  EXPECT_FALSE(f.speed.verdict);
  EXPECT_FALSE(f.overread.leadIn);  // asked for, but stopped: not measured, never 0
}

TEST(RippingCheckModel, TheWindowRunsItWithThePollStoppedRecordsItAndTheDrivesReportEndsWithItsSection) {
  ScratchDir data;
  const std::filesystem::path file = data / "results.sqlite";
  WindowRig rig([&](StartOptions& options) { options.libraryPath = file; });
  bool pollDuringCheck = true;
  rig.controller.hooks.rippingFeatures = [&](DriveAddress drive) {
    pollDuringCheck = rig.controller.pollRunning();
    RippingCheckModel model = modelOf(rig);
    model.start(false);
    pumpToEnd(model);
    rig.controller.noteRippingCheck(drive, *model.finished(), false);
  };
  EXPECT_FALSE(rig.controller.enabled(CmdRippingFeatures));  // before start-up: no drive
  rig.controller.startUp();
  ASSERT_TRUE(rig.controller.enabled(CmdRippingFeatures));
  ASSERT_TRUE(rig.controller.command(CmdRippingFeatures));
  EXPECT_FALSE(pollDuringCheck);
  EXPECT_TRUE(rig.controller.pollRunning());
  {
    ResultsLibrary lib = ResultsLibrary::open(file);
    const auto checks = lib.listRipping();
    ASSERT_TRUE(checks) << checks.error;
    ASSERT_EQ(checks.value->size(), 1u);
    EXPECT_EQ((*checks.value)[0].drive, "QUASARIX CD-5200 CAV 1.04");
    EXPECT_TRUE((*checks.value)[0].verdict.starts_with("No audio cache; C2 pointers reliable"));
    EXPECT_FALSE((*checks.value)[0].stopped);
  }

  rig.fastSettings();
  ASSERT_TRUE(rig.controller.command(CmdStart));
  EXPECT_FALSE(rig.controller.enabled(CmdRippingFeatures));  // the run holds the drive
  rig.runToEnd();
  const auto txt = rig.scratch / "run.txt";
  rig.dialogs.paths = {txt.string()};
  ASSERT_TRUE(rig.controller.command(CmdSaveAscii));
  std::ifstream in(txt, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string report = text.str();
  const auto section = report.find("Spindown Time\t");
  ASSERT_NE(section, std::string::npos);
  EXPECT_NE(report.find("\r\n\r\nRipping features (audio disc)\t\t\r\nRead commands\r\n", section), std::string::npos);
  EXPECT_NE(report.find("\r\nVerdict: No audio cache; C2 pointers reliable", section), std::string::npos);
  EXPECT_TRUE(report.ends_with("\r\n\r\n"));

  // Another drive's report has no section of this one's check.
  rig.controller.selectDrive(1);
  ASSERT_TRUE(rig.controller.command(CmdStart));
  rig.runToEnd();
  rig.dialogs.paths = {txt.string()};
  ASSERT_TRUE(rig.controller.command(CmdSaveAscii));
  std::ifstream again(txt, std::ios::binary);
  std::stringstream other;
  other << again.rdbuf();
  EXPECT_EQ(other.str().find("Ripping features"), std::string::npos);
  EXPECT_TRUE(other.str().ends_with("Spindown Time\t" + other.str().substr(other.str().rfind('\t') + 1)));
}

}  // namespace
}  // namespace tmx::testing
