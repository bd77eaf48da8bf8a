// The manual is found in the working directory first, then installed beside
// the program, and a directory of that name is not taken for it.
#include "app/manual_location.h"

#include <gtest/gtest.h>

#include <fstream>

#include "results/scratch_dir.h"

namespace tmx {
namespace {

TEST(ManualLocation, WorkingDirectoryFirstThenBesideTheProgram) {
  testing::ScratchDir root;
  const auto bin = root / "usr/local/bin";
  const auto doc = root / "usr/local/share/doc/tachometrix";
  const auto work = root / "work";
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(doc);
  std::filesystem::create_directories(work / kManualFileName);  // a directory, not the manual

  EXPECT_EQ(manualCandidates(work.string(), bin.string())[1], (doc / kManualFileName).string());
  // Nothing under the scratch root yet (the system may have its own copy).
  const auto none = locateManual(work.string(), bin.string());
  EXPECT_TRUE(!none || none->rfind(root.path().string(), 0) != 0);

  std::ofstream(doc / kManualFileName) << "<html></html>";
  EXPECT_EQ(locateManual(work.string(), bin.string()), (doc / kManualFileName).string());

  std::filesystem::remove(work / kManualFileName);
  std::ofstream(work / kManualFileName) << "<html></html>";
  EXPECT_EQ(locateManual(work.string(), bin.string()), (work / kManualFileName).string());
}

}  // namespace
}  // namespace tmx
