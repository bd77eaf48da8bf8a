#include "drive/reply_parsers.h"

#include <algorithm>

namespace tmx {
namespace {

std::string fieldText(std::span<const uint8_t> reply, size_t offset, size_t width) {
  std::string text;
  for (size_t i = offset; i < offset + width && i < reply.size(); ++i) {
    if (reply[i] == 0) break;
    text.push_back(static_cast<char>(reply[i]));
  }
  return text;
}

}  // namespace

uint16_t readBe16(std::span<const uint8_t> bytes, size_t offset) {
  if (offset + 2 > bytes.size()) return 0;
  return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

uint32_t readBe32(std::span<const uint8_t> bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  return uint32_t{bytes[offset]} << 24 | uint32_t{bytes[offset + 1]} << 16 | uint32_t{bytes[offset + 2]} << 8 |
         bytes[offset + 3];
}

InquiryTexts parseInquiry(std::span<const uint8_t> reply) {
  InquiryTexts texts;
  if (!reply.empty()) texts.peripheral = reply[0];
  // The additional length tells how much the drive sent; bytes past it may be
  // left over from an earlier command.
  if (reply.size() > 4) reply = reply.first(std::min(reply.size(), size_t{reply[4]} + 5));
  texts.vendor = fieldText(reply, 8, 8);
  texts.product = fieldText(reply, 16, 16);
  texts.revision = fieldText(reply, 32, 4);
  return texts;
}

TocTrackCounts tocTrackCounts(std::span<const uint8_t> reply) {
  TocTrackCounts counts;
  if (reply.size() < 4) return counts;
  const int first = reply[2];
  const int last = reply[3];
  // The TOC data length counts the bytes after itself.
  const size_t available = std::min<size_t>(reply.size(), size_t{readBe16(reply, 0)} + 2);
  for (int i = 0; i <= last - first; ++i) {
    const size_t at = 4 + 8 * static_cast<size_t>(i);
    if (at + 8 > available) break;
    ((reply[at + 1] & 0x04) != 0 ? counts.data : counts.audio) += 1;
  }
  return counts;
}

int classifyTocReply(std::span<const uint8_t> reply) {
  const TocTrackCounts counts = tocTrackCounts(reply);
  if (counts.tracks() == 0) return -1;
  return counts.audio == 0 ? 0 : counts.data == 0 ? 1 : 2;
}

int discTypeFromFullToc(std::span<const uint8_t> reply) {
  if (reply.size() < 4) return -1;
  const size_t available = std::min<size_t>(reply.size(), size_t{readBe16(reply, 0)} + 2);
  const uint8_t firstSession = reply[2];
  const uint8_t lastSession = reply[3];
  int type = -1;
  for (size_t at = 4; at + 11 <= available; at += 11) {
    // A drive that ignored the format sends a track table; its bytes must not
    // pass for an A0h entry, so the entry's session and ADR have to fit.
    const uint8_t session = reply[at];
    const bool fits = session >= 1 && session >= firstSession && session <= lastSession && (reply[at + 1] >> 4) == 1;
    if (fits && reply[at + 3] == 0xA0) type = reply[at + 9];
  }
  return type;
}

std::optional<AtipFields> parseAtip(std::span<const uint8_t> reply) {
  const size_t available = std::min<size_t>(reply.size(), size_t{readBe16(reply, 0)} + 2);
  if (available < 17) return std::nullopt;
  AtipFields atip;
  atip.leadInMinutes = reply[8];
  atip.leadInSeconds = reply[9];
  atip.leadInFrames = reply[10];
  atip.leadOutMinutes = reply[12];
  atip.leadOutSeconds = reply[13];
  atip.leadOutFrames = reply[14];
  atip.a1 = reply[16];
  return atip;
}

std::optional<bool> discErasable(std::span<const uint8_t> reply) {
  const size_t available = std::min<size_t>(reply.size(), size_t{readBe16(reply, 0)} + 2);
  if (available < 3) return std::nullopt;
  return (reply[2] & 0x10) != 0;
}

int32_t capacityFromReply(std::span<const uint8_t> reply) {
  if (reply.size() < 4) return 0;
  return static_cast<int32_t>(readBe32(reply, 0) + 1u);
}

namespace {

struct ModeLayout {
  std::span<const uint8_t> valid;  // the reply as far as its mode data length reaches
  size_t firstPage = 0;            // after the header and the block descriptors
};

std::optional<ModeLayout> modeLayout(std::span<const uint8_t> reply, ModeHeader header) {
  const bool six = header == ModeHeader::Six;
  const size_t headerBytes = six ? 4 : 8;
  if (reply.size() < headerBytes) return std::nullopt;
  // The mode data length counts the bytes after itself.
  const size_t claimed = six ? size_t{reply[0]} + 1 : size_t{readBe16(reply, 0)} + 2;
  const size_t descriptors = six ? reply[3] : readBe16(reply, 6);
  return ModeLayout{reply.first(std::min(reply.size(), claimed)), headerBytes + descriptors};
}

}  // namespace

std::span<const uint8_t> findModePage(std::span<const uint8_t> reply, ModeHeader header, uint8_t pageCode) {
  const auto layout = modeLayout(reply, header);
  if (!layout || layout->firstPage + 2 > layout->valid.size()) return {};
  const auto page = layout->valid.subspan(layout->firstPage);
  if ((page[0] & 0x3F) != pageCode) return {};
  return page;
}

CdCapabilities parseCdCapabilities(std::span<const uint8_t> reply, ModeHeader header) {
  CdCapabilities caps;
  const auto layout = modeLayout(reply, header);
  if (!layout) return caps;
  std::span<const uint8_t> page = findModePage(reply, header, 0x2A);
  if (page.empty()) {
    // Some drives leave out the page header bits; fall back to the first page
    // position only when no block descriptors were claimed.
    const size_t headerBytes = header == ModeHeader::Six ? 4 : 8;
    if (layout->firstPage != headerBytes || layout->firstPage > layout->valid.size()) return caps;
    page = layout->valid.subspan(layout->firstPage);
  }
  const auto byteAt = [&](size_t i) -> uint8_t { return i < page.size() ? page[i] : 0; };
  caps.mediaFlags = byteAt(2);
  caps.audioFlags = byteAt(5);
  caps.c2Pointers = (caps.audioFlags & 0x10) != 0;
  caps.maximumSpeed = readBe16(page, 8);
  caps.bufferSizeKB = readBe16(page, 12);
  caps.currentSpeed = readBe16(page, 14);
  return caps;
}

}  // namespace tmx
