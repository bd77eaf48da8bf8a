// Parsers of the drive check's replies: where each field sits, and that a
// length field never lets them read bytes the drive did not send.
#include <gtest/gtest.h>

#include "drive/reply_parsers.h"
#include "emulator/presets.h"
#include "platform/aspi_codes.h"
#include "platform/clock.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes page2a(uint16_t maximum, uint16_t current, uint8_t audioFlags) {
  Bytes page(22, 0);
  page[0] = 0x2A;
  page[1] = 20;
  page[2] = 0x03;
  page[5] = audioFlags;
  page[8] = uint8_t(maximum >> 8);
  page[9] = uint8_t(maximum);
  page[12] = 0x08;  // 2048 KB buffer
  page[14] = uint8_t(current >> 8);
  page[15] = uint8_t(current);
  return page;
}

Bytes withHeader(ModeHeader header, const Bytes& page, size_t descriptors) {
  Bytes reply(header == ModeHeader::Six ? 4 : 8, 0);
  const size_t total = reply.size() + descriptors + page.size();
  if (header == ModeHeader::Six) {
    reply[0] = uint8_t(total - 1);
    reply[3] = uint8_t(descriptors);
  } else {
    reply[1] = uint8_t(total - 2);
    reply[7] = uint8_t(descriptors);
  }
  reply.insert(reply.end(), descriptors, 0xEE);
  reply.insert(reply.end(), page.begin(), page.end());
  return reply;
}

TEST(ModePages, FoundAfterEitherHeaderAndAnyBlockDescriptors) {
  for (ModeHeader header : {ModeHeader::Six, ModeHeader::Ten}) {
    for (size_t descriptors : {size_t{0}, size_t{8}}) {
      const Bytes reply = withHeader(header, page2a(7040, 1408, 0x13), descriptors);
      const CdCapabilities caps = parseCdCapabilities(reply, header);
      EXPECT_EQ(caps.maximumSpeed, 7040);
      EXPECT_EQ(caps.currentSpeed, 1408);
      EXPECT_EQ(caps.bufferSizeKB, 2048);
      EXPECT_EQ(caps.mediaFlags, 0x03);
      EXPECT_TRUE(caps.c2Pointers);
      const auto page = findModePage(reply, header, 0x2A);
      ASSERT_EQ(page.size(), 22u);
      EXPECT_EQ(page.data(), reply.data() + (header == ModeHeader::Six ? 4 : 8) + descriptors);
      EXPECT_TRUE(findModePage(reply, header, 0x01).empty());
    }
  }
  Bytes errorRecovery{0x01, 0x06, 0x00, 0x05, 0, 0, 0, 0};
  const Bytes reply6 = withHeader(ModeHeader::Six, errorRecovery, 0);
  EXPECT_EQ(findModePage(reply6, ModeHeader::Six, 0x01).size(), 8u);
  // The same bytes read with the other header's layout find no page.
  EXPECT_TRUE(findModePage(reply6, ModeHeader::Ten, 0x01).empty());
}

TEST(ModePages, LyingLengthsStayInsideTheReply) {
  // A 6-byte header whose block descriptor length points past the reply.
  Bytes reply = withHeader(ModeHeader::Six, page2a(7040, 1408, 0x10), 0);
  reply[3] = 200;
  EXPECT_TRUE(findModePage(reply, ModeHeader::Six, 0x2A).empty());
  EXPECT_EQ(parseCdCapabilities(reply, ModeHeader::Six).maximumSpeed, 0);
  // A mode data length that stops inside the page: later fields read as 0.
  reply = withHeader(ModeHeader::Six, page2a(7040, 1408, 0x10), 0);
  reply[0] = 4 + 10 - 1;  // header and page bytes 0-9
  const CdCapabilities caps = parseCdCapabilities(reply, ModeHeader::Six);
  EXPECT_EQ(caps.maximumSpeed, 7040);
  EXPECT_EQ(caps.bufferSizeKB, 0);
  EXPECT_EQ(caps.currentSpeed, 0);
  EXPECT_EQ(findModePage(reply, ModeHeader::Six, 0x2A).size(), 10u);
  EXPECT_TRUE(findModePage(Bytes{0x20, 0, 0}, ModeHeader::Six, 0x2A).empty());
  // The same in a 10-byte header, whose bytes are no page when read as a 6-byte one.
  reply = withHeader(ModeHeader::Ten, page2a(7040, 1408, 0x10), 0);
  EXPECT_TRUE(findModePage(reply, ModeHeader::Six, 0x2A).empty());
  reply[7] = 200;
  EXPECT_TRUE(findModePage(reply, ModeHeader::Ten, 0x2A).empty());
  EXPECT_TRUE(findModePage({}, ModeHeader::Ten, 0x2A).empty());
}

// Full TOC entries: session, ADR/control, TNO, POINT, MIN, SEC, FRAME, ZERO, PMIN, PSEC, PFRAME.
Bytes fullToc(std::initializer_list<std::pair<uint8_t, uint8_t>> pointAndPsec) {
  Bytes reply{0, 0, 1, 1};
  for (const auto& [point, psec] : pointAndPsec) {
    const Bytes entry{1, 0x14, 0, point, 0, 0, 0, 0, 1, psec, 0};
    reply.insert(reply.end(), entry.begin(), entry.end());
  }
  reply[0] = uint8_t((reply.size() - 2) >> 8);
  reply[1] = uint8_t(reply.size() - 2);
  return reply;
}

TEST(FullToc, DiscTypeFromTheLastA0EntryInsideTheReply) {
  EXPECT_EQ(discTypeFromFullToc(fullToc({{0xA0, 0x20}, {0xA1, 0x00}, {0xA2, 0x00}, {1, 0x02}})), 0x20);
  EXPECT_EQ(discTypeFromFullToc(fullToc({{0xA0, 0x00}, {0xA0, 0x10}})), 0x10);
  EXPECT_EQ(discTypeFromFullToc(fullToc({{0xA1, 0x20}})), -1);
  // The entry past the claimed length is a leftover, and one cut by the span is ignored.
  Bytes reply = fullToc({{0xA0, 0x00}, {0xA0, 0x20}});
  reply[1] = 2 + 11;
  EXPECT_EQ(discTypeFromFullToc(reply), 0x00);
  reply = fullToc({{0xA0, 0x00}, {0xA0, 0x20}});
  reply[0] = 0x0B;  // claims more than a 3000-byte buffer holds
  reply.pop_back();
  EXPECT_EQ(discTypeFromFullToc(reply), 0x00);
  EXPECT_EQ(discTypeFromFullToc(Bytes{0, 200, 1, 1}), -1);
}

TEST(FullToc, EntriesOnlyOfTheReplysSessionsWithAdr1) {
  // A track table sent instead (the drive ignored the format): a track
  // descriptor whose address byte is A0h is not an A0 entry.
  Bytes trackTable{0, 26, 1, 3};
  for (uint8_t track : {1, 2, 3}) {
    const Bytes descriptor{0, 0x14, track, 0, 0, 0, 0, 0};
    trackTable.insert(trackTable.end(), descriptor.begin(), descriptor.end());
  }
  trackTable[18] = 0xA0;
  EXPECT_EQ(discTypeFromFullToc(trackTable), -1);
  Bytes reply = fullToc({{0xA0, 0x20}});
  reply[5] = 0x04;  // ADR 0
  EXPECT_EQ(discTypeFromFullToc(reply), -1);
  reply = fullToc({{0xA0, 0x20}});
  reply[4] = 2;  // session 2 of a one-session reply
  EXPECT_EQ(discTypeFromFullToc(reply), -1);
}

TEST(TocTracks, CountsOnlyDescriptorsTheReplyHolds) {
  Bytes reply{0, 26, 1, 3};
  for (uint8_t control : {0x14, 0x10, 0x10}) {
    const Bytes descriptor{0, control, 1, 0, 0, 0, 0, 0};
    reply.insert(reply.end(), descriptor.begin(), descriptor.end());
  }
  TocTrackCounts counts = tocTrackCounts(reply);
  EXPECT_EQ(counts.data, 1);
  EXPECT_EQ(counts.audio, 2);
  reply[3] = 255;  // last track 255 in a three-track reply
  EXPECT_EQ(tocTrackCounts(reply).tracks(), 3);
  reply[2] = 9;  // last before first: no tracks
  reply[3] = 1;
  EXPECT_EQ(tocTrackCounts(reply).tracks(), 0);
  EXPECT_EQ(tocTrackCounts(Bytes{0, 10}).tracks(), 0);
}

TEST(AtipAndDiscInformation, FieldsOnlyFromBytesTheDriveSent) {
  Bytes atip(28, 0);
  atip[1] = 26;
  atip[8] = 97;
  atip[9] = 24;
  atip[10] = 1;
  atip[12] = 79;
  atip[13] = 59;
  atip[14] = 74;
  atip[16] = 0x08;
  const auto fields = parseAtip(atip);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->leadIn, (Msf{97, 24, 1}));
  EXPECT_EQ(fields->leadOut, (Msf{79, 59, 74}));
  EXPECT_EQ(fields->a1, 0x08);
  // A drive that sent only the header leaves the prefilled buffer unread.
  Bytes headerOnly(32, 0x66);
  headerOnly[0] = 0;
  headerOnly[1] = 2;
  EXPECT_FALSE(parseAtip(headerOnly).has_value());
  // Each later field only when the reply reaches it: a span of 16 bytes ends
  // before the A1 byte, a data length of 10 before the lead-out.
  const auto sixteen = parseAtip(Bytes(16, 0x66));
  ASSERT_TRUE(sixteen.has_value());
  EXPECT_EQ(sixteen->leadOut, (Msf{0x66, 0x66, 0x66}));
  EXPECT_FALSE(sixteen->a1.has_value());
  atip[1] = 10;
  const auto leadInOnly = parseAtip(atip);
  ASSERT_TRUE(leadInOnly.has_value());
  EXPECT_EQ(leadInOnly->leadIn, (Msf{97, 24, 1}));
  EXPECT_FALSE(leadInOnly->leadOut.has_value());
  atip[1] = 8;  // stops before the lead-in's frames
  EXPECT_FALSE(parseAtip(atip).has_value());

  // Byte 2: erasable in bit 4, disc status in bits 1-0 (00b blank, 10b complete).
  EXPECT_EQ(parseDiscInformation(Bytes{0, 32, 0x1C, 1}), (DiscInformation{true, true}));
  EXPECT_EQ(parseDiscInformation(Bytes{0, 32, 0x12, 1}), (DiscInformation{true, false}));
  EXPECT_EQ(parseDiscInformation(Bytes{0, 32, 0x0E, 1}), (DiscInformation{false, false}));
  EXPECT_EQ(parseDiscInformation(Bytes{0, 32, 0x01, 1}), (DiscInformation{false, false})) << "incomplete";
  EXPECT_EQ(parseDiscInformation(Bytes{0, 0, 0x10, 1}), std::nullopt);  // claims nothing past the length field
  EXPECT_EQ(parseDiscInformation(Bytes{0, 32}), std::nullopt);
}

TEST(ClaimedBytes, TheReplysOwnLengthNeverPastTheSpan) {
  Bytes reply(300, 0x66);
  reply[0] = 0x01;
  reply[1] = 0x02;  // 258 bytes after the field
  EXPECT_EQ(claimedBytes(reply, kDataLength).data(), reply.data());
  EXPECT_EQ(claimedBytes(reply, kDataLength).size(), 260u);
  EXPECT_EQ(claimedBytes(reply, kModeDataLength6).size(), 2u);
  reply[0] = 0x02;  // 0202h: more than came back
  EXPECT_EQ(claimedBytes(reply, kDataLength).size(), 300u);
  // INQUIRY's additional length sits in byte 4 and counts from byte 5.
  Bytes inquiry(56, 0x20);
  inquiry[4] = 0x1F;
  EXPECT_EQ(claimedBytes(inquiry, kAdditionalLength).size(), 36u);
  EXPECT_EQ(claimedBytes(Bytes{0, 0, 9}, kDataLength).size(), 2u) << "the field alone";
  EXPECT_TRUE(claimedBytes(Bytes{0x05}, kDataLength).empty());
  EXPECT_TRUE(claimedBytes(Bytes{0, 0, 0, 0}, kAdditionalLength).empty());
  EXPECT_TRUE(claimedBytes({}, kModeDataLength6).empty());
}

TEST(CapabilitiesPage, EachFieldFromItsOwnBytes) {
  Bytes page(20, 0);
  page[0] = 0x2A;
  page[2] = 0x02;  // CD-RW only
  page[5] = 0x15;  // CD-DA, R-W, C2 pointers
  page[8] = 0x1B, page[9] = 0x80;    // 7040 KB/s maximum
  page[12] = 0x04, page[13] = 0x01;  // 1025 KB buffer
  page[14] = 0x05, page[15] = 0x80;  // 1408 KB/s current
  CdCapabilities caps = capabilitiesFromPage(page);
  EXPECT_EQ(caps.maximumSpeed, 7040);
  EXPECT_EQ(caps.bufferSizeKB, 1025);
  EXPECT_EQ(caps.currentSpeed, 1408);
  EXPECT_FALSE(caps.readsCdR());
  EXPECT_TRUE(caps.readsCdRw());
  EXPECT_TRUE(caps.readsCdda() && caps.readsRw() && caps.c2Pointers);
  EXPECT_FALSE(caps.accurateStream() || caps.rwPacked());
  page[2] = 0x01;
  page[5] = 0x0A;  // accurate stream, R-W packed
  caps = capabilitiesFromPage(page);
  EXPECT_TRUE(caps.readsCdR() && caps.accurateStream() && caps.rwPacked());
  EXPECT_FALSE(caps.readsCdRw() || caps.readsCdda() || caps.readsRw() || caps.c2Pointers);
  // A page cut after byte 9: the buffer size and current speed were not sent.
  caps = capabilitiesFromPage(std::span<const uint8_t>(page).first(10));
  EXPECT_EQ(caps.maximumSpeed, 7040);
  EXPECT_EQ(caps.bufferSizeKB, 0);
  EXPECT_EQ(caps.currentSpeed, 0);
  EXPECT_EQ(capabilitiesFromPage({}).audioFlags, 0);
}

}  // namespace
}  // namespace tmx

namespace tmx {
namespace {

// The parsers on the emulated presets' own replies, whose facts are documented.
std::vector<uint8_t> ask(emu::EmulatedAdapter& adapter, uint8_t target, std::vector<uint8_t> cdb, size_t length,
                         bool* good = nullptr) {
  std::vector<uint8_t> reply(length, 0);
  ScsiCommand command;
  command.target = target;
  command.cdb = cdb;
  command.direction = DataDirection::In;
  command.data = reply;
  const ScsiResult result = adapter.execute(command);
  if (good) *good = result.status == aspi::kComplete;
  return reply;
}

TEST(ReplyParsersOnEmulatedDrives, ReadThePresetsFacts) {
  VirtualClock clock;
  const auto adapter = emu::makePresetAdapter(clock);
  bool good = false;
  for (ModeHeader header : {ModeHeader::Six, ModeHeader::Ten}) {
    const auto reply = header == ModeHeader::Six ? ask(*adapter, 0, {0x1A, 0x08, 0x2A, 0, 40, 0}, 40, &good)
                                                 : ask(*adapter, 0, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 40, 0}, 40, &good);
    ASSERT_TRUE(good);
    const CdCapabilities caps = parseCdCapabilities(reply, header);
    EXPECT_EQ(caps.maximumSpeed, 52 * 176);
    EXPECT_TRUE(caps.c2Pointers);
    EXPECT_EQ(caps.bufferSizeKB, 2048);
  }
  ask(*adapter, 3, {0x1A, 0x08, 0x01, 0, 8, 0}, 8, &good);
  EXPECT_FALSE(good) << "target 3 rejects MODE SENSE(6)";
  EXPECT_FALSE(findModePage(ask(*adapter, 3, {0x5A, 0x08, 0x01, 0, 0, 0, 0, 0, 30, 0}, 30), ModeHeader::Ten, 0x01)
                   .empty());

  const auto atip = parseAtip(ask(*adapter, 3, {0x43, 0, 4, 0, 0, 0, 0, 0, 32, 0}, 32));
  ASSERT_TRUE(atip.has_value());
  EXPECT_EQ(atip->leadIn, (Msf{97, 24, 1}));
  EXPECT_EQ(atip->leadOut, (Msf{79, 59, 74}));
  EXPECT_EQ(atip->a1, 0x08);
  EXPECT_TRUE(parseDiscInformation(ask(*adapter, 5, {0x51, 0, 0, 0, 0, 0, 0, 0, 4, 0}, 4))->erasable);
  EXPECT_FALSE(parseDiscInformation(ask(*adapter, 3, {0x51, 0, 0, 0, 0, 0, 0, 0, 4, 0}, 4))->erasable);
  EXPECT_TRUE(parseDiscInformation(ask(*adapter, 6, {0x51, 0, 0, 0, 0, 0, 0, 0, 4, 0}, 4))->blank);
  EXPECT_EQ(discTypeFromFullToc(ask(*adapter, 1, {0x43, 0, 2, 0, 0, 0, 0, 0x0B, 0xB8, 0x80}, 3000)), 0x00);
  const TocTrackCounts counts = tocTrackCounts(ask(*adapter, 0, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, 804));
  EXPECT_EQ(counts.audio, 14);
  EXPECT_EQ(counts.data, 0);
}

}  // namespace
}  // namespace tmx
