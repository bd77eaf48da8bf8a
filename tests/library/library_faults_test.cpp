// A library that is locked, damaged, read-only, full, shared by two writers
// or of another schema: the runs already kept stay, and the reason is clear.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>

#include <thread>

#include "library/library_schema.h"
#include "library/results_library.h"
#include "library/sample_runs.h"
#include "library/sqlite_database.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

using namespace std::chrono_literals;
using testing::sampleCdRun;
using testing::ScratchDir;

std::unique_ptr<SqliteDatabase> rawOpen(const std::filesystem::path& file) {
  SqliteError error;
  return SqliteDatabase::open(file, SqliteOpen::ReadWriteCreate, error);
}

class LibraryFaults : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::filesystem::path file = dir / "results.sqlite";
};

TEST_F(LibraryFaults, LockedLibraryIsWaitedForThenTheCauseIsGiven) {
  auto lib = ResultsLibrary::open(file, {.busyTimeout = 100ms});
  ASSERT_EQ(lib.state(), LibraryState::Ready);
  auto other = rawOpen(file);
  ASSERT_TRUE(other->exec("BEGIN IMMEDIATE"));
  const auto start = std::chrono::steady_clock::now();
  const auto refused = lib.record(sampleCdRun());
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error, "database is locked (by another program, waited 100 ms)");
  ASSERT_TRUE(other->exec("COMMIT"));
  EXPECT_TRUE(lib.record(sampleCdRun()));
}

TEST_F(LibraryFaults, DamagedFileFailsNamingItAndIsKeptAsBad) {
  testing::writeFile(file, std::string(4096, 'x'));
  auto lib = ResultsLibrary::open(file);
  EXPECT_EQ(lib.state(), LibraryState::Failed);
  EXPECT_EQ(lib.reason(), "Results library " + file.string() + " cannot be used: file is not a database");
  EXPECT_TRUE(lib.damaged());
  EXPECT_FALSE(lib.record(sampleCdRun()));
  EXPECT_FALSE(lib.list());

  EXPECT_EQ(setAsideBadLibrary(file), std::nullopt);
  EXPECT_EQ(testing::readFile(file.string() + ".bad"), std::string(4096, 'x'));
  auto fresh = ResultsLibrary::open(file);
  EXPECT_EQ(fresh.state(), LibraryState::Ready);
  EXPECT_FALSE(fresh.damaged());
  EXPECT_TRUE(fresh.record(sampleCdRun()));
  EXPECT_TRUE(setAsideBadLibrary(dir / "missing.sqlite"));
}

TEST_F(LibraryFaults, ReadOnlyLibraryListsButRecordsNothing) {
  const int64_t id = *ResultsLibrary::open(file).record(sampleCdRun()).value;
  auto lib = ResultsLibrary::open(file, {.readOnly = true});
  EXPECT_EQ(lib.state(), LibraryState::ReadOnly);
  EXPECT_EQ(lib.reason(), "Results library " + file.string() + " is open for reading only");
  EXPECT_TRUE(lib.load(id));
  const auto refused = lib.record(sampleCdRun());
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error, lib.reason());
}

TEST_F(LibraryFaults, FileWithoutWritePermissionOpensReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes files whatever their mode";
  ASSERT_TRUE(ResultsLibrary::open(file).record(sampleCdRun()));
  // WAL needs its side files; a closed library leaves none, so the folder goes read-only too.
  ::chmod(file.c_str(), 0444);
  ::chmod(dir.path().c_str(), 0555);
  auto lib = ResultsLibrary::open(file);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_NE(lib.state(), LibraryState::Ready);
  EXPECT_FALSE(lib.record(sampleCdRun()));
}

TEST_F(LibraryFaults, CorruptPagesFailTheWriteAsDamaged) {
  auto lib = ResultsLibrary::open(file);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(lib.record(sampleCdRun()));
  lib = ResultsLibrary::open(dir / "other.sqlite");  // closes the file: the WAL goes into it
  std::string bytes = testing::readFile(file);
  ASSERT_GT(bytes.size(), 8192u);
  for (size_t i = 4096 + 100; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(0xA5);  // every page but the first
  testing::writeFile(file, bytes);
  auto damaged = ResultsLibrary::open(file);
  const auto refused = damaged.state() == LibraryState::Ready ? damaged.record(sampleCdRun()) : LibraryResult<int64_t>{};
  EXPECT_TRUE(damaged.damaged() || refused.damaged) << damaged.reason() << refused.error;
}

TEST_F(LibraryFaults, FullLibraryRefusesTheRunAndKeepsTheOthers) {
  auto lib = ResultsLibrary::open(file, {.maxPageCount = 16});
  ASSERT_EQ(lib.state(), LibraryState::Ready) << lib.reason();
  int recorded = 0;
  LibraryResult<int64_t> last;
  while ((last = lib.record(sampleCdRun())) && recorded < 100) ++recorded;
  ASSERT_FALSE(last);
  EXPECT_EQ(last.error, "database or disk is full");
  EXPECT_GT(recorded, 0);
  EXPECT_EQ(lib.list().value->size(), static_cast<size_t>(recorded));
}

TEST_F(LibraryFaults, LibraryTooFullForItsSchemaFailsSayingSo) {
  auto lib = ResultsLibrary::open(file, {.maxPageCount = 6});
  EXPECT_EQ(lib.state(), LibraryState::Failed);
  EXPECT_EQ(lib.reason(), "Results library " + file.string() + " cannot be used: database or disk is full");
  EXPECT_FALSE(lib.recordRipping({}));
}

TEST_F(LibraryFaults, TwoWritersAtOnceBothLand) {
  ASSERT_EQ(ResultsLibrary::open(file).state(), LibraryState::Ready);
  auto write = [&](const char* time) {
    auto lib = ResultsLibrary::open(file);
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(lib.record(sampleCdRun(RunOutcome::Completed, time)));
  };
  std::thread a(write, "2026-12-09T01:00:00Z");
  std::thread b(write, "2026-12-09T02:00:00Z");
  a.join();
  b.join();
  auto lib = ResultsLibrary::open(file);
  EXPECT_EQ(lib.list().value->size(), 50u);
  EXPECT_EQ(lib.list({.limit = 25}).value->back().utcTime, "2026-12-09T02:00:00Z");
}

TEST_F(LibraryFaults, NewerSchemaOpensReadOnlyWithAMessage) {
  const int64_t id = *ResultsLibrary::open(file).record(sampleCdRun()).value;
  rawOpen(file)->exec("PRAGMA user_version = 7");
  auto lib = ResultsLibrary::open(file);
  EXPECT_EQ(lib.state(), LibraryState::ReadOnly);
  EXPECT_EQ(lib.reason(), "Results library " + file.string() +
                              " was written by a newer version of the program (schema 7); it is open for reading only");
  EXPECT_TRUE(lib.load(id));
  EXPECT_FALSE(lib.record(sampleCdRun()));
}

TEST_F(LibraryFaults, FirstSchemaIsMigratedAndItsRunsLoad) {
  {
    auto db = rawOpen(file);
    ASSERT_TRUE(migrateLibrary(*db, 0, 1));
    ASSERT_TRUE(db->exec(
        "INSERT INTO runs (utc_time, kind, outcome, drive_name, drive_vendor, drive_product, drive_revision, "
        "drive_serial, drive_emulated, disc_name, disc_medium, disc_profile, disc_type, disc_length_sectors, "
        "disc_toc_digest, option_word0, option_word1, option_word2, program_version, random_seek_ms, "
        "persisted_block, dae_errors, live_quality_errors, last_zone, quality_map, medium_kind, medium_profile, "
        "medium_profile_name, medium_layers, medium_opposite_track_path, medium_capacity_sectors, planned_zones, "
        "scan_blocks_read, scan_latency_buckets, scan_unreadable_sectors, scan_map, scan_elapsed_ms) VALUES "
        "('2025-05-05T05:05:05Z', 'run', 'completed', 'OLD DRIVE 1', 'OLD', 'DRIVE', '1', '', 0, 'CD data', 'CD', "
        "'', 0, 1000, '', 1, 2, 3, '0.0.9', 90, zeroblob(464), 0, 0, 0, zeroblob(2000), 'CD', 0, '', 1, 0, 1000, "
        "0, 0, zeroblob(48), 0, zeroblob(400), 0)"));
    ASSERT_TRUE(db->exec("INSERT INTO status_lines VALUES (1, 0, '[05:05:05]   old line')"));
  }
  auto lib = ResultsLibrary::open(file);
  ASSERT_EQ(lib.state(), LibraryState::Ready) << lib.reason();
  EXPECT_EQ(lib.schemaVersion(), 1);
  EXPECT_EQ(rawOpen(file)->queryInteger("PRAGMA user_version"), kLibrarySchemaVersion);
  const auto old = lib.load(1);
  ASSERT_TRUE(old) << old.error;
  EXPECT_EQ(old.value->summary.drive, "OLD DRIVE 1");
  EXPECT_EQ(old.value->summary.randomSeekMs, 90);
  EXPECT_EQ(old.value->drive.controller, "");
  EXPECT_EQ(old.value->disc.manufacturer, "");
  EXPECT_TRUE(old.value->driveCheck.empty());
  EXPECT_EQ(old.value->statusLines, std::vector<std::string>{"[05:05:05]   old line"});
  EXPECT_EQ(ResultsLibrary::open(file, {.readOnly = true}).state(), LibraryState::ReadOnly);
  const auto added = lib.record(sampleCdRun());
  ASSERT_TRUE(added);
  EXPECT_EQ(lib.load(*added.value).value->driveCheck.size(), 2u);
}

}  // namespace
}  // namespace tmx
