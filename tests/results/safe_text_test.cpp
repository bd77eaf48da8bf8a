// Drive and file texts on their way to a terminal or a JSON file.
#include <gtest/gtest.h>

#include "results/safe_text.h"

namespace tmx {
namespace {

const std::string kBad = "\xEF\xBF\xBD";

TEST(SafeText, KeepsValidUtf8AndReplacesEverythingElse) {
  EXPECT_EQ(safeText("PLEXTOR CD-R   PX-40TS 1.04"), "PLEXTOR CD-R   PX-40TS 1.04");
  EXPECT_EQ(safeText("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xBF"), "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xBF");
  // INQUIRY padding and Latin-1 bytes.
  EXPECT_EQ(safeText("ACME\xFF\xFF"), "ACME" + kBad + kBad);
  EXPECT_EQ(safeText("Caf\xE9"), "Caf" + kBad);
  // Cut, overlong, surrogate and beyond-range sequences.
  EXPECT_EQ(safeText("\xE2\x82"), kBad + kBad);
  EXPECT_EQ(safeText("\xC0\xAF"), kBad + kBad);
  EXPECT_EQ(safeText("\xED\xA0\x80"), kBad + kBad + kBad);
  EXPECT_EQ(safeText("\xF4\x90\x80\x80"), kBad + kBad + kBad + kBad);
  // Controls that could move the cursor or recolour a terminal.
  EXPECT_EQ(safeText(std::string("a\x1B[2Jb\r\n\0", 9)), "a" + kBad + "[2Jb" + kBad + kBad + kBad);
  EXPECT_EQ(safeText("\xC2\x9B" "1m"), kBad + kBad + "1m");
}

}  // namespace
}  // namespace tmx
