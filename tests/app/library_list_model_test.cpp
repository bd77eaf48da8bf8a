// The library dialog's model over real SQLite files in scratch folders.
#include "app/library_list_model.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>

#include "library/run_bundle.h"
#include "results/scratch_dir.h"

namespace tmx::testing {
namespace {

namespace fs = std::filesystem;

StoredRun runOf(const std::string& time, const std::string& drive, const std::string& disc, double speed) {
  StoredRun run;
  run.summary.utcTime = time;
  run.summary.drive = drive;
  run.summary.disc = disc;
  run.summary.averageX = speed;
  run.summary.outcome = RunOutcome::Completed;
  run.drive.vendor = drive;
  run.disc.medium = "CD";
  run.programVersion = "0.1.0";
  resetRecord(run.record);
  clearSpeedSamples(run.record);
  for (int z = 0; z < 5; ++z) storeSpeedSample(run.record, z, speed * 5);
  run.record.lastZone = 4;
  return run;
}

std::vector<int64_t> recordThree(const fs::path& file) {
  ResultsLibrary lib = ResultsLibrary::open(file);
  std::vector<int64_t> ids;
  ids.push_back(*lib.record(runOf("2026-12-01T10:00:00Z", "ABC CDROM 40X 1.0a", "CD audio 74:00.00", 30)).value);
  ids.push_back(*lib.record(runOf("2026-12-02T10:00:00Z", "ABC CDROM 40X 1.0a", "CD data 60:00.00", 31)).value);
  ids.push_back(*lib.record(runOf("2026-12-03T10:00:00Z", "XYZ DVD 16X 2.0", "CD audio 74:00.00", 40)).value);
  return ids;
}

TEST(LibraryListModel, ARowShowsEachColumnAndDashesWhatWasNotMeasured) {
  RunSummary s;
  s.id = 4;
  s.utcTime = "2026-12-09T06:14:26Z";
  s.drive = "ABC CDROM 40X 1.0a";
  s.disc = "CD audio 74:00.00";
  s.averageX = 39.054;
  s.randomSeekMs = 84;
  s.fullSeekMs = 142;
  s.daeScore = 10;
  s.outcome = RunOutcome::Aborted;
  const LibraryRow row = libraryRowOf(s);
  EXPECT_EQ(row.id, 4);
  const std::array<std::string, 8> expected = {
      "2026-12-09 06:14", "ABC CDROM 40X 1.0a", "CD audio 74:00.00", "39.05 X", "84 / - / 142 ms", "10", "-",
      "aborted"};
  EXPECT_EQ(row.cells, expected);
  s.kind = StoredRunKind::QualityCheck;
  s.randomSeekMs.reset();
  s.fullSeekMs.reset();
  s.averageX.reset();
  EXPECT_EQ(libraryRowOf(s).cells[3], "-");
  EXPECT_EQ(libraryRowOf(s).cells[4], "-");
  EXPECT_EQ(libraryRowOf(s).cells[7], "aborted (check)");
}

TEST(LibraryListModel, ListsNewestFirstAndFiltersByDriveAndDisc) {
  ScratchDir dir;
  const fs::path file = dir / "results.sqlite";
  const auto ids = recordThree(file);
  LibraryAccess access(file);
  LibraryListModel model(access);
  model.refresh();
  ASSERT_FALSE(model.failed()) << model.statusText();
  ASSERT_EQ(model.rows().size(), 3u);
  EXPECT_EQ(model.rows()[0].id, ids[2]);
  EXPECT_EQ(model.rows()[0].cells[3], "40.00 X");
  EXPECT_EQ(model.statusText(), "3 runs in " + file.string());
  EXPECT_EQ(model.drives(), (std::vector<std::string>{"ABC CDROM 40X 1.0a", "XYZ DVD 16X 2.0"}));
  EXPECT_EQ(model.discs().size(), 2u);

  model.setDriveFilter("ABC CDROM 40X 1.0a");
  model.refresh();
  ASSERT_EQ(model.rows().size(), 2u);
  EXPECT_EQ(model.rows()[0].id, ids[1]);
  model.setDiscFilter("CD audio 74:00.00");
  model.refresh();
  ASSERT_EQ(model.rows().size(), 1u);
  EXPECT_EQ(model.rows()[0].id, ids[0]);
  EXPECT_EQ(model.statusText(), "1 run in " + file.string());
  EXPECT_EQ(model.drives().size(), 2u);  // the filter lists keep every name
}

TEST(LibraryListModel, DeletesExportsOpensAndCompares) {
  ScratchDir dir;
  const fs::path file = dir / "results.sqlite";
  const auto ids = recordThree(file);
  LibraryAccess access(file);
  LibraryListModel model(access);
  model.refresh();

  const fs::path bundle = dir / "runs.json";
  EXPECT_EQ(model.exportBundle({ids[0], ids[2]}, bundle.string()), std::nullopt);
  const BundleRead back = readBundle(readFile(bundle));
  ASSERT_TRUE(back.error.empty()) << back.error;
  ASSERT_EQ(back.runs.size(), 2u);
  EXPECT_EQ(back.runs[1].summary.drive, "XYZ DVD 16X 2.0");
  EXPECT_TRUE(model.exportBundle({ids[0]}, (dir / "none" / "runs.json").string())->starts_with("Error saving"));

  EXPECT_FALSE(model.compared({ids[0]}));
  EXPECT_EQ(model.compared({ids[0]}).error, "Select 2 to 8 runs to compare them");
  const auto compared = model.compared({ids[2], ids[0]});
  ASSERT_TRUE(compared) << compared.error;
  EXPECT_EQ((*compared.value)[0].heading, "#" + std::to_string(ids[2]));
  EXPECT_EQ((*compared.value)[1].report.averageX, 30.0);
  EXPECT_TRUE(LibraryListModel::canCompare(8));
  EXPECT_FALSE(LibraryListModel::canCompare(9));

  const auto opened = model.load(ids[1]);
  ASSERT_TRUE(opened) << opened.error;
  EXPECT_EQ(opened.value->summary.disc, "CD data 60:00.00");

  EXPECT_EQ(model.remove({ids[0], ids[1]}), std::nullopt);
  ASSERT_EQ(model.rows().size(), 1u);
  EXPECT_FALSE(model.load(ids[0]));
}

TEST(LibraryListModel, ADamagedLibrarySaysWhyAndANewOneKeepsTheOldFileAsBad) {
  ScratchDir dir;
  const fs::path file = dir / "results.sqlite";
  writeFile(file, std::string(4096, 'x'));
  LibraryAccess access(file);
  bool othersClosed = false;
  access.beforeSetAside = [&] { othersClosed = true; };
  LibraryListModel model(access);
  model.refresh();
  EXPECT_TRUE(model.failed());
  EXPECT_TRUE(model.damaged());
  EXPECT_TRUE(model.rows().empty());
  EXPECT_NE(model.statusText().find(file.string()), std::string::npos) << model.statusText();
  EXPECT_TRUE(model.remove({1}).has_value());

  EXPECT_EQ(model.startNewLibrary(), std::nullopt);
  EXPECT_TRUE(othersClosed);
  EXPECT_FALSE(model.failed()) << model.statusText();
  EXPECT_FALSE(model.damaged());
  EXPECT_EQ(model.statusText(), "0 runs in " + file.string());
  EXPECT_EQ(readFile(dir / "results.sqlite.bad"), std::string(4096, 'x'));
}

TEST(LibraryAccess, OpensTheEnvironmentsLibraryOnlyWhenFirstUsed) {
  ScratchDir dir;
  const std::string before = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
  LibraryAccess access;
  const fs::path expected = dir / "tachometrix" / "results.sqlite";
  EXPECT_FALSE(access.opened());
  EXPECT_FALSE(fs::exists(expected));
  ASSERT_NE(access.library(), nullptr) << access.failure();
  EXPECT_EQ(access.path(), expected);
  EXPECT_TRUE(fs::exists(expected));
  EXPECT_EQ(access.failure(), "");
  ::setenv("XDG_DATA_HOME", before.c_str(), 1);  // the program's scratch folder again
}

}  // namespace
}  // namespace tmx::testing
