#include "library/stored_run_builder.h"

#include <gtest/gtest.h>

#include "results/app_settings.h"

namespace tmx {
namespace {

TestResults measuredCd() {
  TestResults r;
  resetRecord(r);
  r.discLength = 333000;
  r.discType = 1;
  r.randomSeekMs = 85;
  return r;
}

TEST(WorthRecording, RunsThatEndedWithAFigureAndEveryQualityCheck) {
  const TestResults measured = measuredCd();
  TestResults nothing;
  resetRecord(nothing);
  for (const RunOutcome o : {RunOutcome::Completed, RunOutcome::Aborted, RunOutcome::Cancelled}) {
    EXPECT_TRUE(worthRecording({measured, o})) << static_cast<int>(o);
    EXPECT_FALSE(worthRecording({nothing, o})) << static_cast<int>(o);
    EXPECT_TRUE(worthRecording({nothing, o, true})) << static_cast<int>(o);
  }
  for (const RunOutcome o : {RunOutcome::None, RunOutcome::NotStarted, RunOutcome::LoadedFromFile}) {
    EXPECT_FALSE(worthRecording({measured, o}));
    EXPECT_FALSE(worthRecording({measured, o, true}));
  }
  TestResults spun = nothing;
  spun.spinUpTime = 2.0;
  EXPECT_TRUE(worthRecording({spun, RunOutcome::Cancelled}));
}

TEST(StoredRunOf, TakesEveryFactAndTheReportsFigures) {
  const TestResults record = measuredCd();
  FinishedRun f{record, RunOutcome::Aborted};
  f.drive = {"ABC     ", "CDROM 40X       ", "1.0a", " SN 7  ", "host", "sr", true};
  f.toc = {0, 2, 1, 1, 0xEE, 0xEE};
  f.manufacturer = "Maker  ";
  f.settings.runBurstRate = true;
  f.programVersion = "9.8.7";
  f.endTime = std::chrono::system_clock::time_point(std::chrono::seconds(1'796'796'866));
  f.statusLines = {"[06:14:26]   a"};
  f.driveCheck = {"check"};
  const StoredRun run = storedRunOf(f);
  EXPECT_EQ(run.summary.utcTime, "2026-12-09T06:14:26Z");
  EXPECT_EQ(run.summary.kind, StoredRunKind::Run);
  EXPECT_EQ(run.summary.drive, "ABC CDROM 40X 1.0a");
  EXPECT_EQ(run.summary.disc, "CD audio 74:00.00");
  EXPECT_EQ(run.summary.randomSeekMs, 85);
  EXPECT_FALSE(run.summary.fullSeekMs);
  EXPECT_FALSE(run.summary.averageX);
  EXPECT_EQ(run.summary.outcome, RunOutcome::Aborted);
  EXPECT_EQ(run.drive.vendor, "ABC");
  EXPECT_EQ(run.drive.product, "CDROM 40X");
  EXPECT_EQ(run.drive.serial, "SN 7");
  EXPECT_TRUE(run.drive.emulated);
  EXPECT_EQ(run.disc.medium, "CD");
  EXPECT_EQ(run.disc.type, 1);
  EXPECT_EQ(run.disc.lengthSectors, 333000);
  EXPECT_EQ(run.disc.tocDigest, "3bcf1b7f93fb3529");  // the 4 bytes the TOC's length covers
  EXPECT_EQ(run.disc.manufacturer, "Maker");
  AppSettings settings;
  settings.runBurstRate = true;
  const SettingsWordArray words = packSettings(settings);
  EXPECT_EQ(run.optionWords[0], static_cast<int32_t>(words[0]));
  EXPECT_EQ(run.programVersion, "9.8.7");
  EXPECT_EQ(run.record.randomSeekMs, 85);
  EXPECT_EQ(run.statusLines, f.statusLines);
  EXPECT_EQ(run.driveCheck, f.driveCheck);
}

TEST(StoredRunNames, DriveAndDiscAsTheListShowsThem) {
  EXPECT_EQ(driveNameOf({"ABC     ", "", "1.0 "}), "ABC 1.0");
  Medium cd;
  EXPECT_EQ(discNameOf(cd, 0, 4500), "CD data 1:00.00");
  EXPECT_EQ(discNameOf(cd, -1, -1), "CD");
  cd.profileName = "CD-R";
  EXPECT_EQ(discNameOf(cd, 2, 359849), "CD-R mixed 79:57.74");
  const Medium dvd{MediumKind::DVD, 0x002B, "DVD+R DL", 2, true, 4'173'824, 2'086'912};
  EXPECT_EQ(discNameOf(dvd, 0, 4'173'824), "DVD+R DL 8.55 GB");
  EXPECT_EQ(tocDigest({}), "");
}

}  // namespace
}  // namespace tmx
