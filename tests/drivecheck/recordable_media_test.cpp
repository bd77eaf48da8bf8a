// Maker tables and the ATIP rules of recordable media identification.
#include <gtest/gtest.h>

#include <vector>

#include "drivecheck/recordable_media.h"

namespace tmx {
namespace {

// A 28-byte ATIP reply (data length 26) with the given lead-in, lead-out and A1 byte.
std::vector<uint8_t> atip(int m, int s, int f, int lm = 79, int ls = 59, int lf = 74, uint8_t a1 = 0) {
  std::vector<uint8_t> r(32, 0x66);
  std::fill(r.begin(), r.begin() + 28, 0);
  r[1] = 26;
  r[8] = uint8_t(m), r[9] = uint8_t(s), r[10] = uint8_t(f);
  r[12] = uint8_t(lm), r[13] = uint8_t(ls), r[14] = uint8_t(lf);
  r[16] = a1;
  return r;
}

const std::vector<uint8_t> kErasable{0, 32, 0x10 | 0x0E, 1};
const std::vector<uint8_t> kNotErasable{0, 32, 0x0E, 1};

TEST(RecordableMedia, RecordableMakers) {
  RecordableDisc d = identifyFromReplies(kNotErasable, atip(97, 24, 1));
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.mediaCode, 972401);
  EXPECT_EQ(d.dyeType, 1);
  EXPECT_EQ(d.manufacturer, "Taiyo Yuden Co.");
  EXPECT_FALSE(d.rewritable);
  EXPECT_EQ(d.capacityFrames, 79 * 4500 + 59 * 75 + 74);

  d = identifyFromReplies(kNotErasable, atip(97, 46, 15));
  EXPECT_EQ(d.manufacturer, "Sony Co.") << "row 7 by its second key";
  EXPECT_EQ(d.dyeType, 5);
  EXPECT_EQ(identifyFromReplies({}, atip(97, 27, 65)).manufacturer, "Ricoh Co.,Ltd.");
  EXPECT_EQ(identifyFromReplies({}, atip(97, 44, 0)).manufacturer, "unknown");
  EXPECT_FALSE(identifyFromReplies({}, atip(95, 24, 1)).found);
}

TEST(RecordableMedia, RewritableMakersByLeadOut) {
  EXPECT_EQ(identifyFromReplies(kErasable, atip(97, 27, 3, 74, 45, 0)).manufacturer, "Ritek Co.");
  EXPECT_EQ(identifyFromReplies(kErasable, atip(97, 27, 3, 74, 12, 0)).manufacturer, "Ricoh Co.");
  EXPECT_EQ(identifyFromReplies(kErasable, atip(97, 27, 3, 79, 59, 74)).manufacturer, "unknown");
  const RecordableDisc m = identifyFromReplies(kErasable, atip(97, 34, 21, 1, 2, 3));
  EXPECT_EQ(m.manufacturer, "Mitsubishi Chemical Co.");
  EXPECT_TRUE(m.rewritable);
  // A failed disc information request leaves the disc counted as CD-R.
  EXPECT_EQ(identifyFromReplies({}, atip(97, 27, 3, 74, 45, 0)).manufacturer, "unknown");
}

TEST(RecordableMedia, SpeedClassOnlyFromReturnedBytes) {
  EXPECT_EQ(identifyFromReplies({}, atip(97, 24, 1, 79, 59, 74, 0x05)).xCompatibility, 10);
  EXPECT_EQ(identifyFromReplies({}, atip(97, 24, 1, 79, 59, 74, 0x00)).xCompatibility, 0);
  // A drive that returned 16 bytes: byte 16 is the 66h filler, not data.
  auto shortReply = atip(97, 24, 1);
  shortReply[1] = 14;
  std::fill(shortReply.begin() + 16, shortReply.end(), 0x66);
  const RecordableDisc d = identifyFromReplies({}, shortReply);
  EXPECT_TRUE(d.found);
  EXPECT_EQ(d.xCompatibility, 0);
  // Too short for the lead-out: not described at all; too short for the lead-in: nothing.
  shortReply[1] = 10;
  EXPECT_FALSE(identifyFromReplies({}, shortReply).found);
  EXPECT_FALSE(identifyFromReplies({}, std::vector<uint8_t>(32, 0x66)).found) << "a buffer the drive never filled";
  shortReply[1] = 6;
  EXPECT_EQ(identifyFromReplies({}, shortReply).mediaCode, 0);
  // A disc information reply that came back without byte 2.
  EXPECT_FALSE(identifyFromReplies(std::vector<uint8_t>{0, 32}, atip(97, 27, 3)).rewritable);
}

}  // namespace
}  // namespace tmx
