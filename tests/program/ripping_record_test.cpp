// A ripping-features check kept with its drive and disc: the pure record of
// what the check found, and Application::recordRipping on the emulated
// drives in virtual time, with a library that takes the check and with ones
// that cannot.
#include <gtest/gtest.h>

#include <memory>

#include "library/sqlite_database.h"
#include "library/stored_run_builder.h"
#include "program/application.h"
#include "program/finished_ripping.h"
#include "results/scratch_dir.h"
#include "ripping/ripping_json.h"
#include "ripping/ripping_text.h"
#include "support/recording_host.h"

namespace tmx {
namespace {

RippingFeatures sampleFeatures(const std::string& discKind = "audio") {
  RippingFeatures f;
  f.discKind = discKind;
  f.readPart.ran = true;
  f.commands = {{0xBE, true, true, false, true, false, 2352u, std::nullopt}};
  f.cachePart.ran = true;
  f.cache.caches = true;
  f.cache.sizeKB = 1612.8;
  f.overreadPart.skipped = "not asked for";
  f.verdict = "Caches about 1.6 MB of audio: rip with cache defeat";
  f.verdictClaims = {"cache: re-read timings (audio cache)"};
  return f;
}

TEST(StoredRippingCheckOf, KeepsTheAnswersAsTheCliShowsThemWithTheDriveAndTheDisc) {
  const RippingFeatures f = sampleFeatures();
  FinishedRipping finished{f, true,
                           {"ABC     ", "CDROM 40X       ", "1.0a", " SN-7 ", "sg0 on host 3", "sr_mod", true}};
  finished.medium = {MediumKind::CD, 0x0009, "CD-R"};
  finished.lengthSectors = 333000;
  finished.toc = {0x00, 0x02, 0x01, 0x01, 0xFF};
  finished.manufacturer = "Ritek";
  finished.programVersion = "0.2.0";
  finished.endTime = std::chrono::system_clock::from_time_t(1796796866);
  const StoredRippingCheck s = storedRippingCheckOf(finished);
  EXPECT_EQ(s.summary.utcTime, "2026-12-09T06:14:26Z");
  EXPECT_TRUE(s.summary.stopped);
  EXPECT_EQ(s.summary.drive, "ABC CDROM 40X 1.0a");
  EXPECT_EQ(s.summary.disc, "CD-R audio 74:00.00");
  EXPECT_EQ(s.summary.verdict, f.verdict);
  EXPECT_EQ(s.drive.vendor, "ABC");
  EXPECT_EQ(s.drive.product, "CDROM 40X");
  EXPECT_EQ(s.drive.serial, "SN-7");
  EXPECT_EQ(s.drive.controller, "sg0 on host 3");
  EXPECT_TRUE(s.drive.emulated);
  EXPECT_EQ(s.disc.medium, "CD");
  EXPECT_EQ(s.disc.profile, "CD-R");
  EXPECT_EQ(s.disc.lengthSectors, 333000);
  EXPECT_EQ(s.disc.tocDigest, tocDigest(finished.toc));
  EXPECT_EQ(s.disc.manufacturer, "Ritek");
  EXPECT_EQ(s.programVersion, "0.2.0");
  EXPECT_EQ(s.answersJson, rippingJson(f).dump());
  EXPECT_EQ(s.lines, rippingTextLines(f));

  for (const auto& [kind, type] : {std::pair<std::string, int32_t>{"audio", 1}, {"mixed", 2}, {"data", 0}, {"", -1}}) {
    const RippingFeatures g = sampleFeatures(kind);
    FinishedRipping other{g};
    EXPECT_EQ(storedRippingCheckOf(other).disc.type, type) << kind;
    EXPECT_EQ(storedRippingCheckOf(other).disc.lengthSectors, -1) << "a length not read is unknown";
  }
}

TEST(StoredRippingCheckOf, ATextThatIsNoUtf8IsKeptReplaced) {
  RippingFeatures f = sampleFeatures();
  f.c2Part.cutOff = "drive said \xff\xfe";
  const StoredRippingCheck s = storedRippingCheckOf(FinishedRipping{f});
  EXPECT_NE(s.answersJson.find("drive said \xEF\xBF\xBD\xEF\xBF\xBD"), std::string::npos) << s.answersJson;
}

class RecordRipping : public ::testing::Test {
 protected:
  Application& start(std::optional<std::filesystem::path> library, LibraryOptions libraryOptions = {}) {
    StartOptions options;
    options.realDrives = false;
    options.clock = ClockKind::Virtual;
    options.settingsPath = dir / "settings";
    options.libraryPath = std::move(library);
    options.libraryOptions = libraryOptions;
    app = std::make_unique<Application>(options);
    app->loadDrives();
    app->attach(host);
    app->probe().refreshDiscPanel(app->drives().selectedDrive());
    return *app;
  }
  std::optional<std::string> record(bool stopped = false) {
    const DriveAddress drive = app->drives().selectedDrive();
    return app->recordRipping(features, stopped, app->driveFacts(drive, drive));
  }

  testing::ScratchDir dir;
  std::filesystem::path file = dir / "data/results.sqlite";
  testing::RecordingHost host;
  RippingFeatures features = sampleFeatures();
  std::unique_ptr<Application> app;
};

TEST_F(RecordRipping, KeptWithTheSelectedDriveAndItsDisc) {
  Application& a = start(file);
  ASSERT_EQ(record(true), std::nullopt);
  EXPECT_EQ(a.recorder().lastRippingId(), 1);
  const auto checks = a.recorder().library()->listRipping();
  ASSERT_EQ(checks.value->size(), 1u);
  const auto kept = a.recorder().library()->loadRipping(1);
  ASSERT_TRUE(kept) << kept.error;
  const StoredRippingCheck& k = *kept.value;
  const DriveAddress drive = a.drives().selectedDrive();
  StoredDrive inquiry;
  const DriveFacts facts = a.driveFacts(drive, drive);
  inquiry.vendor = facts.vendor;
  inquiry.product = facts.product;
  inquiry.revision = facts.revision;
  EXPECT_EQ(k.summary.drive, driveNameOf(inquiry));
  EXPECT_TRUE(k.summary.stopped);
  EXPECT_TRUE(k.drive.emulated);
  EXPECT_FALSE(k.drive.controller.empty());
  EXPECT_EQ(k.disc.medium, "CD");
  EXPECT_EQ(k.disc.lengthSectors, a.probe().storedLength());
  EXPECT_FALSE(k.disc.tocDigest.empty()) << "the probe's TOC";
  EXPECT_FALSE(k.programVersion.empty());
  EXPECT_EQ(k.lines, rippingTextLines(features));
  EXPECT_TRUE(a.recorder().library()->list().value->empty()) << "no run was recorded";
}

TEST_F(RecordRipping, OffRecordsNothing) {
  Application& a = start(std::nullopt);
  EXPECT_EQ(record(), std::nullopt);
  EXPECT_EQ(a.recorder().lastRippingId(), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RecordRipping, ALockedLibraryCostsTheCheckNothingButOneLine) {
  ASSERT_EQ(ResultsLibrary::open(file).state(), LibraryState::Ready);
  SqliteError error;
  auto other = SqliteDatabase::open(file, SqliteOpen::ReadWrite, error);
  ASSERT_TRUE(other->exec("BEGIN IMMEDIATE"));
  Application& a = start(file, {.busyTimeout = std::chrono::milliseconds(0)});
  const std::string line = "Ripping check not recorded in the results library " + file.string() +
                           ": database is locked (by another program, waited 0 ms)";
  EXPECT_EQ(record(), line);
  ASSERT_FALSE(a.statusLog().lines().empty());
  EXPECT_NE(a.statusLog().lines().back().find(line), std::string::npos) << a.statusLog().lines().back();
  ASSERT_TRUE(other->exec("COMMIT"));
  EXPECT_EQ(record(), std::nullopt);
  EXPECT_EQ(a.recorder().lastRippingId(), 1);
}

TEST_F(RecordRipping, ALibraryThatCannotBeUsedIsNamedAndTriedAgain) {
  std::filesystem::create_directories(file.parent_path());
  testing::writeFile(file, "not a library at all, just text that fills the header and more of it");
  start(file);
  EXPECT_EQ(record(), "Ripping check not recorded: Results library " + file.string() +
                          " cannot be used: file is not a database");
  ASSERT_EQ(setAsideBadLibrary(file), std::nullopt);
  EXPECT_EQ(record(), std::nullopt);
}

}  // namespace
}  // namespace tmx
