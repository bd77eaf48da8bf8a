// Mode pages, track tables and full TOCs as drives send them, short and lying.
#include <gtest/gtest.h>

#include <vector>

#include "drivecheck/drive_check_replies.h"

namespace tmx {
namespace {

std::vector<uint8_t> capabilityPage() {
  std::vector<uint8_t> p(26, 0);
  p[0] = 0x2A;
  p[1] = 0x18;
  p[2] = 0x03;
  p[5] = 0x13;  // CD-DA, accurate, C2
  p[8] = 0x1B;  // 7040 KB/s
  p[9] = 0x80;
  p[12] = 0x08;  // 2048 KB
  return p;
}

std::vector<uint8_t> withHeader(bool ten, size_t descriptors, std::vector<uint8_t> page) {
  std::vector<uint8_t> reply(ten ? 8 : 4, 0);
  if (ten) {
    reply[7] = static_cast<uint8_t>(descriptors);
  } else {
    reply[3] = static_cast<uint8_t>(descriptors);
  }
  reply.resize(reply.size() + descriptors, 0x77);
  reply.insert(reply.end(), page.begin(), page.end());
  if (ten) {
    reply[1] = static_cast<uint8_t>(reply.size() - 2);
  } else {
    reply[0] = static_cast<uint8_t>(reply.size() - 1);
  }
  return reply;
}

TEST(DriveCheckReplies, ModeSenseCdbsLeaveRoomForHeaderAndDescriptor) {
  const CdbRequest six = modeSense6PageCdb(0x2A, 30);
  EXPECT_EQ(std::vector<uint8_t>(six.bytes.begin(), six.bytes.begin() + 6),
            (std::vector<uint8_t>{0x1A, 0x00, 0x2A, 0x00, 42, 0x00}));
  EXPECT_EQ(six.transferLength, 42u);
  const CdbRequest ten = modeSense10PageCdb(0x01, 0x1234);
  EXPECT_EQ(std::vector<uint8_t>(ten.bytes.begin(), ten.bytes.begin() + 10),
            (std::vector<uint8_t>{0x5A, 0x00, 0x01, 0, 0, 0, 0, 0x12, 0x44, 0}));
  EXPECT_EQ(modeSense6PageCdb(0x2A, 250).transferLength, 255u);
}

TEST(DriveCheckReplies, PageFoundAfterHeaderAndDescriptors) {
  for (bool ten : {false, true}) {
    for (size_t descriptors : {size_t{0}, size_t{8}}) {
      const auto reply = withHeader(ten, descriptors, capabilityPage());
      const auto page = findModePage(reply, ten, 0x2A);
      ASSERT_EQ(page.size(), 26u) << ten << descriptors;
      const auto facts = parseCapabilityPage(page);
      ASSERT_TRUE(facts);
      EXPECT_EQ(facts->maximumReadKBps, 7040);
      EXPECT_EQ(facts->bufferKiB, 2048);
      EXPECT_TRUE(facts->readCdR && facts->readCdRw && facts->readCdda && facts->cddaAccurate && facts->c2Pointers);
      EXPECT_FALSE(facts->readRw || facts->rwPacked);
    }
  }
}

TEST(DriveCheckReplies, PagesThatAreNotThereAreNotRead) {
  // The 10-byte header's bytes are not a page (a fixed offset of 4 lands here).
  auto reply = withHeader(true, 0, capabilityPage());
  EXPECT_TRUE(findModePage(reply, true, 0x01).empty()) << "wrong page code";
  EXPECT_TRUE(findModePage(reply, false, 0x2A).empty()) << "a 10-byte reply read as a 6-byte one";
  // A header that claims more descriptors than came back.
  reply[7] = 200;
  EXPECT_TRUE(findModePage(reply, true, 0x2A).empty());
  // A mode data length that cuts the page short: only what it vouches for.
  reply = withHeader(false, 8, capabilityPage());
  reply[0] = 4 - 1 + 8 + 10;
  const auto page = findModePage(reply, false, 0x2A);
  EXPECT_EQ(page.size(), 10u);
  EXPECT_FALSE(parseCapabilityPage(page)) << "buffer size and speed were not returned";
  EXPECT_TRUE(findModePage(std::vector<uint8_t>{0x03, 0, 0}, false, 0x2A).empty());
  EXPECT_TRUE(findModePage({}, true, 0x2A).empty());
}

std::vector<uint8_t> toc(std::vector<bool> dataTracks) {
  std::vector<uint8_t> r{0, 0, 1, static_cast<uint8_t>(dataTracks.size())};
  for (size_t i = 0; i < dataTracks.size(); ++i) {
    r.insert(r.end(), {0, static_cast<uint8_t>(0x10 | (dataTracks[i] ? 0x04 : 0)), uint8_t(i + 1), 0, 0, 0, 0, 0});
  }
  r.insert(r.end(), {0, 0x10, 0xAA, 0, 0, 0, 0, 0});
  r[1] = static_cast<uint8_t>(r.size() - 2);
  return r;
}

TEST(DriveCheckReplies, TrackTableCountsOnlyReturnedDescriptors) {
  std::vector<bool> mixed(11, false);
  mixed[0] = true;
  TocTrackCounts t = tocTrackCounts(toc(mixed));
  EXPECT_EQ(t.tracks(), 11);
  EXPECT_EQ(t.data, 1);
  EXPECT_EQ(t.audio, 10);
  // The header claims 99 tracks but the data length holds three descriptors.
  auto lying = toc({true, false, false});
  lying[3] = 99;
  lying[1] = 2 + 3 * 8;
  t = tocTrackCounts(lying);
  EXPECT_EQ(t.tracks(), 3);
  // Last track below the first: no tracks, no negative count.
  auto reversed = toc({true});
  reversed[2] = 5;
  reversed[3] = 2;
  EXPECT_EQ(tocTrackCounts(reversed).tracks(), 0);
  EXPECT_EQ(tocTrackCounts(std::vector<uint8_t>{0, 10}).tracks(), 0);
}

TEST(DriveCheckReplies, FullTocDiscTypeAndTypeLine) {
  auto entry = [](uint8_t point, uint8_t psec) {
    return std::vector<uint8_t>{1, 0x14, 0, point, 0, 0, 0, 0, 1, psec, 0};
  };
  std::vector<uint8_t> full{0, 0, 1, 1};
  for (const auto& e : {entry(0xA0, 0x20), entry(0xA1, 0x00), entry(0xA0, 0x10)}) full.insert(full.end(), e.begin(), e.end());
  full[1] = static_cast<uint8_t>(full.size() - 2);
  EXPECT_EQ(discTypeFromFullToc(full), 0x10) << "the last A0 entry wins";
  full[1] = 2 + 22;
  EXPECT_EQ(discTypeFromFullToc(full), 0x20) << "entries past the data length are not read";
  EXPECT_EQ(discTypeFromFullToc(std::vector<uint8_t>{0, 200, 1, 1}), -1);
  // A track table sent instead (the drive ignored the format): an address
  // byte of A0h is not an A0 entry.
  auto trackTable = toc({true, true, true});
  trackTable[18] = 0xA0;
  EXPECT_EQ(discTypeFromFullToc(trackTable), -1);
  auto wrongAdr = full;
  wrongAdr[1] = 2 + 11;
  wrongAdr[5] = 0x04;  // ADR 0
  EXPECT_EQ(discTypeFromFullToc(wrongAdr), -1);

  EXPECT_EQ(discTypeLine({1, 0}, 0x00), "Type         : data mode 1");
  EXPECT_EQ(discTypeLine({0, 12}, 0x00), "Type         : audio");
  EXPECT_EQ(discTypeLine({1, 10}, 0x20), "Type         : mixed mode 2");
  EXPECT_EQ(discTypeLine({1, 0}, 0x10), "Type         : data CD-i");
  EXPECT_EQ(discTypeLine({1, 0}, -1), "Type         : data");
  EXPECT_EQ(discTypeLine({0, 0}, 0x00), "Type         : unknown");
}

}  // namespace
}  // namespace tmx
