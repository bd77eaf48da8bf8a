// The manual is looked for in the working directory first, then installed
// beside the program, then in the system's doc folder and the source tree.
#include "app/manual_location.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

TEST(ManualLocation, WorkingDirectoryFirstThenBesideTheProgram) {
  const auto local = manualCandidates("/home/u/work", "/usr/local/bin", "/src/docs");
  EXPECT_EQ(local, (std::vector<std::string>{"/home/u/work/tachometrixdoc.htm",
                                             "/usr/local/share/doc/tachometrix/tachometrixdoc.htm",
                                             "/usr/share/doc/tachometrix/tachometrixdoc.htm",
                                             "/src/docs/tachometrixdoc.htm"}));
  // Installed under /usr: the system's folder is not listed twice; no source tree.
  EXPECT_EQ(manualCandidates("/w", "/usr/bin"),
            (std::vector<std::string>{"/w/tachometrixdoc.htm", "/usr/share/doc/tachometrix/tachometrixdoc.htm"}));
}

}  // namespace
}  // namespace tmx
