#include "library/results_library.h"

#include <gtest/gtest.h>

#include <cmath>

#include "library/sample_runs.h"
#include "library/sqlite_database.h"
#include "results/dat_file.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

using testing::expectSameRun;
using testing::sampleCdRun;
using testing::sampleDvdScan;
using testing::ScratchDir;

class LibraryTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::filesystem::path file = dir / "lib/results.sqlite";
  ResultsLibrary lib = ResultsLibrary::open(file);
};

class EveryOutcome : public LibraryTest, public ::testing::WithParamInterface<RunOutcome> {};

TEST_P(EveryOutcome, RunComesBackFieldByField) {
  ASSERT_EQ(lib.state(), LibraryState::Ready) << lib.reason();
  const StoredRun run = sampleCdRun(GetParam());
  const auto id = lib.record(run);
  ASSERT_TRUE(id) << id.error;
  const auto back = lib.load(*id.value);
  ASSERT_TRUE(back) << back.error;
  EXPECT_EQ(back.value->summary.id, *id.value);
  expectSameRun(run, *back.value);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, EveryOutcome,
                         ::testing::Values(RunOutcome::Completed, RunOutcome::Aborted, RunOutcome::Cancelled,
                                           RunOutcome::LoadedFromFile));

TEST_F(LibraryTest, ReadScanWithZonesFailedBlocksAndNaNSamplesComesBack) {
  StoredRun scan = sampleDvdScan();
  ASSERT_TRUE(std::isnan(scan.record.speedSamples[7]));  // the reset's all-FFh samples
  const auto id = lib.record(scan);
  ASSERT_TRUE(id) << id.error;
  expectSameRun(scan, *lib.load(*id.value).value);
}

TEST_F(LibraryTest, FiguresOfTheListComeFromTheRecordAndNotMeasuredStaysNull) {
  StoredRun run = sampleCdRun();
  run.record.randomSeekMs = -1;
  run.record.burstRate = -1;
  ASSERT_TRUE(lib.record(run));
  const auto rows = lib.list();
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows.value->size(), 1u);
  const RunSummary& s = rows.value->front();
  EXPECT_DOUBLE_EQ(*s.averageX, *averageSpeed(run.record));
  EXPECT_FALSE(s.randomSeekMs);
  EXPECT_EQ(s.oneThirdSeekMs, 120);
  EXPECT_EQ(s.fullSeekMs, 170);
  EXPECT_EQ(s.daeScore, 9);
  EXPECT_FALSE(s.burstMBps);
  EXPECT_EQ(s.outcome, RunOutcome::Completed);

  SqliteError error;
  auto db = SqliteDatabase::open(file, SqliteOpen::ReadOnly, error);
  auto nulls = db->queryInteger(
      "SELECT (random_seek_ms IS NULL) + (burst_mbps IS NULL) + (cpu_8x_percent IS NULL) + (spin_down_s IS NULL) "
      "+ (spin_up_s IS NULL) FROM runs");
  EXPECT_EQ(nulls, 4);
}

TEST_F(LibraryTest, ListsNewestFirstAndFiltersByDriveDiscAndKind) {
  ASSERT_TRUE(lib.record(sampleCdRun(RunOutcome::Completed, "2026-01-01T00:00:00Z")));
  ASSERT_TRUE(lib.record(sampleDvdScan()));  // 2026-12-08
  ASSERT_TRUE(lib.record(sampleCdRun(RunOutcome::Aborted, "2026-12-09T00:00:00Z")));
  const auto all = lib.list();
  ASSERT_TRUE(all);
  ASSERT_EQ(all.value->size(), 3u);
  EXPECT_EQ((*all.value)[0].utcTime, "2026-12-09T00:00:00Z");
  EXPECT_EQ((*all.value)[1].kind, StoredRunKind::QualityCheck);
  EXPECT_EQ((*all.value)[2].utcTime, "2026-01-01T00:00:00Z");

  EXPECT_EQ(lib.list({.drive = "ABC CDROM 40X 1.0a"}).value->size(), 2u);
  EXPECT_EQ(lib.list({.disc = "DVD+R DL 8.55 GB"}).value->size(), 1u);
  EXPECT_EQ(lib.list({.drive = "ABC CDROM 40X 1.0a", .disc = "DVD+R DL 8.55 GB"}).value->size(), 0u);
  EXPECT_EQ(lib.list({.kind = StoredRunKind::QualityCheck}).value->size(), 1u);
  EXPECT_EQ(lib.list({.limit = 1}).value->front().utcTime, "2026-12-09T00:00:00Z");
  EXPECT_EQ(*lib.drives().value, (std::vector<std::string>{"ABC CDROM 40X 1.0a", "XYZ DVDRW 16X 2.00"}));
  EXPECT_EQ(*lib.discs().value, (std::vector<std::string>{"CD audio 74:00.00", "DVD+R DL 8.55 GB"}));
}

TEST_F(LibraryTest, RemovesRunsWithTheirLinesAndKnowsNoUnknownId) {
  const int64_t a = *lib.record(sampleCdRun()).value;
  const int64_t b = *lib.record(sampleDvdScan()).value;
  const std::vector<int64_t> ids = {a, 999};
  EXPECT_EQ(lib.remove(ids).value, 1);
  EXPECT_EQ(*lib.allIds().value, std::vector<int64_t>{b});
  const auto gone = lib.load(a);
  EXPECT_FALSE(gone);
  EXPECT_EQ(gone.error, "no run " + std::to_string(a));
  SqliteError error;
  auto db = SqliteDatabase::open(file, SqliteOpen::ReadOnly, error);
  EXPECT_EQ(db->queryInteger("SELECT count(*) FROM status_lines WHERE run_id = " + std::to_string(a)), 0);
  EXPECT_EQ(db->queryInteger("SELECT count(*) FROM failed_blocks WHERE run_id = " + std::to_string(b)), 2);
}

TEST_F(LibraryTest, RecordAllTakesEveryRunOrNone) {
  std::vector<StoredRun> runs = {sampleCdRun(), sampleDvdScan()};
  runs[1].summary.kind = static_cast<StoredRunKind>(7);  // refused by the kind's CHECK
  const auto ids = lib.recordAll(runs);
  EXPECT_FALSE(ids);
  EXPECT_NE(ids.error.find("CHECK constraint failed"), std::string::npos) << ids.error;
  EXPECT_TRUE(lib.list().value->empty());
}

TEST_F(LibraryTest, DatFileLoadedIntoARecordIsStoredAsLoaded) {
  StoredRun run = sampleCdRun(RunOutcome::LoadedFromFile);
  const DatImage image = encodeDatFile(run.record);
  TestResults fresh;
  applyDatBytes(image, fresh);
  run.record = fresh;
  const auto id = lib.record(run);
  ASSERT_TRUE(id);
  EXPECT_EQ(encodeDatFile(lib.load(*id.value).value->record), image);
}

TEST(DefaultLibraryPath, FollowsXdgDataHomeThenHome) {
  EXPECT_EQ(defaultLibraryPath("/data", "/home/u"), "/data/tachometrix/results.sqlite");
  EXPECT_EQ(defaultLibraryPath(nullptr, "/home/u"), "/home/u/.local/share/tachometrix/results.sqlite");
  EXPECT_EQ(defaultLibraryPath("", "/home/u"), "/home/u/.local/share/tachometrix/results.sqlite");
  EXPECT_EQ(defaultLibraryPath("relative/dir", "/home/u"), "/home/u/.local/share/tachometrix/results.sqlite");
  EXPECT_EQ(defaultLibraryPath(nullptr, nullptr), "");
  EXPECT_EQ(defaultLibraryPath(nullptr, "not/absolute"), "");
}

}  // namespace
}  // namespace tmx
