// The ripping-features window's earlier checks: only the drive's own, newest
// first, labelled with date and verdict, their stored answers; a library
// that cannot be read says why instead of listing nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "app/ripping_history.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

StoredRippingCheck checkOf(const std::string& time, const std::string& drive, bool stopped,
                           std::vector<std::string> lines) {
  StoredRippingCheck c;
  c.summary.utcTime = time;
  c.summary.stopped = stopped;
  c.summary.drive = drive;
  c.summary.disc = "CD audio 74:00.00";
  c.summary.verdict = "No audio cache; C2 pointers reliable; accurate stream";
  c.drive.vendor = "QUASARIX";
  c.lines = std::move(lines);
  return c;
}

TEST(RippingHistory, ListsTheDrivesOwnChecksNewestFirstAndShowsOne) {
  DriveFacts facts;
  facts.vendor = "QUASARIX";
  facts.product = "CD-5200 CAV     ";
  facts.revision = "1.04";
  const std::string name = rippingDriveName(facts);
  EXPECT_EQ(name, "QUASARIX CD-5200 CAV 1.04");

  testing::ScratchDir dir;
  const auto file = dir / "results.sqlite";
  {
    ResultsLibrary lib = ResultsLibrary::open(file);
    ASSERT_TRUE(lib.recordRipping(checkOf("2026-12-09T07:00:00Z", name, false, {"first", "a"})));
    ASSERT_TRUE(lib.recordRipping(checkOf("2026-12-09T08:30:00Z", "OTHER DRIVE 1.0", false, {"other"})));
    ASSERT_TRUE(lib.recordRipping(checkOf("2026-12-09T09:15:42Z", name, true, {"second"})));
  }
  LibraryAccess access(file);
  RippingHistory history(access, name);
  EXPECT_EQ(history.failure(), "");
  ASSERT_EQ(history.checks().size(), 2u);
  EXPECT_EQ(history.checks()[0].label, "2026-12-09 09:15  No audio cache; C2 pointers reliable; accurate stream (stopped)");
  EXPECT_EQ(history.checks()[1].label, "2026-12-09 07:00  No audio cache; C2 pointers reliable; accurate stream");
  EXPECT_EQ(history.lines(history.checks()[1].id), (std::vector<std::string>{"first", "a"}));
  EXPECT_EQ(history.lines(999), std::nullopt);
  EXPECT_EQ(history.failure(), "no ripping check 999");
}

TEST(RippingHistory, ALibraryThatCannotBeReadSaysWhy) {
  testing::ScratchDir dir;
  const auto file = dir / "results.sqlite";
  std::ofstream(file) << std::string(4096, 'x');
  LibraryAccess access(file);
  RippingHistory history(access, "QUASARIX CD-5200 CAV 1.04");
  EXPECT_TRUE(history.checks().empty());
  EXPECT_NE(history.failure(), "");
  EXPECT_EQ(history.failure(), access.failure());
}

}  // namespace
}  // namespace tmx
