// Ripping-features checks in the library: kept apart from the runs, back
// field by field, listed newest first and by drive, and a library of the
// previous schema updated with every run it held.
#include <gtest/gtest.h>

#include "library/library_schema.h"
#include "library/results_library.h"
#include "library/run_rows.h"
#include "library/sample_runs.h"
#include "library/sqlite_database.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

using testing::ScratchDir;

StoredRippingCheck sampleCheck(const std::string& time = "2026-12-09T07:00:00Z",
                               const std::string& drive = "ABC CDROM 40X 1.0a") {
  StoredRippingCheck c;
  c.summary = {0, time, false, drive, "CD-R audio 74:00.00",
               "Caches about 1.6 MB of audio: rip with cache defeat; C2 pointers reliable; accurate stream"};
  c.drive = {"ABC", "CDROM 40X", "1.0a", "SN-0042", "sg0 on host 3", "sr_mod", true};
  c.disc = {"CD", "CD-R", 1, 333000, "0a1b2c3d", "Ritek"};
  c.programVersion = "0.2.0";
  c.answersJson = R"({"disc":"audio","cache":{"caches":true,"sizeKB":1612.8},"overread":{"leadIn":null}})";
  c.lines = {"Ripping features (audio disc)", "Overread: not measured (not asked for)", ""};
  return c;
}

void expectSameCheck(const StoredRippingCheck& a, const StoredRippingCheck& b) {
  EXPECT_EQ(a.summary.utcTime, b.summary.utcTime);
  EXPECT_EQ(a.summary.stopped, b.summary.stopped);
  EXPECT_EQ(a.summary.drive, b.summary.drive);
  EXPECT_EQ(a.summary.disc, b.summary.disc);
  EXPECT_EQ(a.summary.verdict, b.summary.verdict);
  testing::expectSameDriveAndDisc(a.drive, a.disc, b.drive, b.disc);
  EXPECT_EQ(a.programVersion, b.programVersion);
  EXPECT_EQ(a.answersJson, b.answersJson);
  EXPECT_EQ(a.lines, b.lines);
}

class RippingChecks : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::filesystem::path file = dir / "results.sqlite";
  ResultsLibrary lib = ResultsLibrary::open(file);
};

TEST_F(RippingChecks, ComeBackFieldByFieldWithIdsOfTheirOwn) {
  ASSERT_EQ(lib.state(), LibraryState::Ready) << lib.reason();
  ASSERT_TRUE(lib.record(testing::sampleCdRun()));
  StoredRippingCheck stopped = sampleCheck();
  stopped.summary.stopped = true;
  stopped.summary.verdict.clear();
  stopped.disc.type = -1;
  stopped.disc.lengthSectors = -1;  // unknown: NULL, and back as unknown
  for (const StoredRippingCheck& check : {sampleCheck(), stopped}) {
    const auto id = lib.recordRipping(check);
    ASSERT_TRUE(id) << id.error;
    const auto back = lib.loadRipping(*id.value);
    ASSERT_TRUE(back) << back.error;
    EXPECT_EQ(back.value->summary.id, *id.value);
    expectSameCheck(check, *back.value);
  }
  EXPECT_EQ(lib.listRipping().value->back().id, 1) << "the first check is 1, whatever runs there are";
  EXPECT_EQ(lib.list().value->size(), 1u) << "a check is no run";
  const auto unknown = lib.loadRipping(9);
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.error, "no ripping check 9");
}

TEST_F(RippingChecks, ListNewestFirstAndByDrive) {
  ASSERT_TRUE(lib.recordRipping(sampleCheck("2026-12-09T07:00:00Z")));
  ASSERT_TRUE(lib.recordRipping(sampleCheck("2026-12-09T09:00:00Z", "XYZ CD-RW 52X 1.10")));
  ASSERT_TRUE(lib.recordRipping(sampleCheck("2026-12-09T08:00:00Z")));
  ASSERT_TRUE(lib.recordRipping(sampleCheck("2026-12-09T08:00:00Z")));
  const auto all = lib.listRipping();
  ASSERT_TRUE(all) << all.error;
  std::vector<int64_t> ids;
  for (const RippingCheckSummary& s : *all.value) ids.push_back(s.id);
  EXPECT_EQ(ids, (std::vector<int64_t>{2, 4, 3, 1})) << "by time, then the later id first";
  const RippingCheckSummary& newest = all.value->front();
  EXPECT_EQ(newest.drive, "XYZ CD-RW 52X 1.10");
  EXPECT_EQ(newest.disc, "CD-R audio 74:00.00");
  EXPECT_EQ(newest.verdict, sampleCheck().summary.verdict);
  EXPECT_FALSE(newest.stopped);
  EXPECT_EQ(lib.listRipping("ABC CDROM 40X 1.0a").value->size(), 3u);
  EXPECT_TRUE(lib.listRipping("no such drive").value->empty());
}

TEST_F(RippingChecks, ReadOnlyLibraryRefusesAndAFailedOneGivesItsReason) {
  ASSERT_TRUE(lib.recordRipping(sampleCheck()));
  auto reader = ResultsLibrary::open(file, {.readOnly = true});
  const auto refused = reader.recordRipping(sampleCheck());
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error, reader.reason());
  EXPECT_EQ(reader.listRipping().value->size(), 1u);

  testing::writeFile(dir / "bad.sqlite", std::string(4096, 'x'));
  auto bad = ResultsLibrary::open(dir / "bad.sqlite");
  EXPECT_EQ(bad.listRipping().error, bad.reason());
  EXPECT_EQ(bad.loadRipping(1).error, bad.reason());
}

TEST_F(RippingChecks, SecondSchemaIsMigratedWithEveryRun) {
  const std::filesystem::path old = dir / "v2.sqlite";
  const StoredRun cd = testing::sampleCdRun();
  const StoredRun dvd = testing::sampleDvdScan();
  {
    SqliteError error;
    auto db = SqliteDatabase::open(old, SqliteOpen::ReadWriteCreate, error);
    ASSERT_TRUE(migrateLibrary(*db, 0, 2));
    ASSERT_TRUE(insertRun(*db, cd));
    ASSERT_TRUE(insertRun(*db, dvd));
  }
  auto migrated = ResultsLibrary::open(old);
  ASSERT_EQ(migrated.state(), LibraryState::Ready) << migrated.reason();
  EXPECT_EQ(migrated.schemaVersion(), 2);
  SqliteError error;
  EXPECT_EQ(SqliteDatabase::open(old, SqliteOpen::ReadOnly, error)->queryInteger("PRAGMA user_version"), 3);
  ASSERT_EQ(migrated.list().value->size(), 2u);
  testing::expectSameRun(cd, *migrated.load(1).value);
  testing::expectSameRun(dvd, *migrated.load(2).value);
  EXPECT_TRUE(migrated.listRipping().value->empty());
  ASSERT_TRUE(migrated.recordRipping(sampleCheck()));
  EXPECT_EQ(migrated.listRipping().value->size(), 1u);
  EXPECT_EQ(ResultsLibrary::open(old).schemaVersion(), 3) << "migrated once";
}

// A second-schema file that cannot be written is read as it is: its runs, and no ripping checks.
TEST_F(RippingChecks, SecondSchemaReadOnlyListsItsRunsAndNoChecks) {
  const std::filesystem::path old = dir / "v2.sqlite";
  {
    SqliteError error;
    auto db = SqliteDatabase::open(old, SqliteOpen::ReadWriteCreate, error);
    ASSERT_TRUE(migrateLibrary(*db, 0, 2));
    ASSERT_TRUE(insertRun(*db, testing::sampleCdRun()));
  }
  auto lib = ResultsLibrary::open(old, {.readOnly = true});
  ASSERT_EQ(lib.state(), LibraryState::ReadOnly) << lib.reason();
  EXPECT_EQ(lib.list().value->size(), 1u);
  ASSERT_TRUE(lib.listRipping());
  EXPECT_TRUE(lib.listRipping().value->empty());
  EXPECT_EQ(lib.loadRipping(1).error, "no ripping check 1");
  EXPECT_FALSE(lib.recordRipping(sampleCheck()));
  SqliteError error;
  EXPECT_EQ(SqliteDatabase::open(old, SqliteOpen::ReadOnly, error)->queryInteger("PRAGMA user_version"), 2);

  // A first-schema file cannot be read without its migration.
  const std::filesystem::path first = dir / "v1.sqlite";
  {
    auto db = SqliteDatabase::open(first, SqliteOpen::ReadWriteCreate, error);
    ASSERT_TRUE(migrateLibrary(*db, 0, 1));
  }
  EXPECT_EQ(ResultsLibrary::open(first, {.readOnly = true}).state(), LibraryState::Failed);
}

}  // namespace
}  // namespace tmx
