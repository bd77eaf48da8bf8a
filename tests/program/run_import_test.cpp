#include "program/run_import.h"

#include <gtest/gtest.h>

#include "library/run_bundle.h"
#include "platform/clock.h"
#include "results/dat_file.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

class RunImport : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
  VirtualClock clock{1000, 0};

  std::filesystem::path datFile(int32_t seekMs) {
    TestResults r;
    resetRecord(r);
    r.discLength = 4500;
    r.randomSeekMs = seekMs;
    const DatImage image = encodeDatFile(r);
    const auto path = dir / ("run" + std::to_string(seekMs) + ".dat");
    testing::writeFile(path, std::string(image.begin(), image.end()));
    return path;
  }
};

TEST_F(RunImport, DatFilesBecomeCdRunsAndBundlesTheirRuns) {
  StoredRun kept;
  kept.summary.utcTime = "2026-01-02T03:04:05Z";
  kept.summary.outcome = RunOutcome::Completed;
  kept.summary.drive = "ABC 1";
  resetRecord(kept.record);
  const std::vector<StoredRun> bundled = {kept};
  testing::writeFile(dir / "b.json", "\n  " + bundleText(bundled));
  const std::vector<std::filesystem::path> files = {datFile(91), dir / "b.json"};
  const ImportRead read = readRunsToImport(files, clock);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.runs.size(), 2u);
  EXPECT_EQ(read.runs[0].summary.drive, kDatFileDriveName);
  EXPECT_EQ(read.runs[0].summary.outcome, RunOutcome::LoadedFromFile);
  EXPECT_EQ(read.runs[0].summary.disc, "CD 1:00.00");
  EXPECT_EQ(read.runs[0].record.randomSeekMs, 91);
  EXPECT_EQ(read.runs[0].statusLines.size(), 1u);  // "DAT file (V0.6B) loaded"
  EXPECT_EQ(read.runs[1].summary.drive, "ABC 1");
}

TEST_F(RunImport, OneBadFileImportsNothing) {
  testing::writeFile(dir / "bad.json", R"({"format": "tachometrix-runs", "version": 1, "runs": [{}]})");
  const std::vector<std::filesystem::path> files = {datFile(91), dir / "bad.json"};
  const ImportRead read = readRunsToImport(files, clock);
  EXPECT_EQ(read.error, (dir / "bad.json").string() + " is refused, nothing of it is imported: runs[0].utcTime: missing");
  EXPECT_TRUE(read.runs.empty());
  const std::vector<std::filesystem::path> missing = {dir / "none.dat"};
  EXPECT_NE(readRunsToImport(missing, clock).error, "");
}

}  // namespace
}  // namespace tmx
