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

Msf msfAt(std::span<const uint8_t> bytes, size_t offset) {
  return Msf{bytes[offset], bytes[offset + 1], bytes[offset + 2]};
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

std::span<const uint8_t> claimedBytes(std::span<const uint8_t> reply, LengthField field) {
  const size_t end = field.offset + field.width;
  if (reply.size() < end) return {};
  const size_t value = field.width == 1   ? reply[field.offset]
                       : field.width == 2 ? readBe16(reply, field.offset)
                                          : readBe32(reply, field.offset);
  return reply.first(std::min(reply.size(), end + value));
}

InquiryTexts parseInquiry(std::span<const uint8_t> reply) {
  InquiryTexts texts;
  if (!reply.empty()) texts.peripheral = reply[0];
  const auto sent = claimedBytes(reply, kAdditionalLength);
  texts.vendor = fieldText(sent, 8, 8);
  texts.product = fieldText(sent, 16, 16);
  texts.revision = fieldText(sent, 32, 4);
  return texts;
}

TocTrackCounts tocTrackCounts(std::span<const uint8_t> reply) {
  TocTrackCounts counts;
  if (reply.size() < 4) return counts;
  const int first = reply[2];
  const int last = reply[3];
  const size_t available = claimedBytes(reply, kDataLength).size();
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
  const size_t available = claimedBytes(reply, kDataLength).size();
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
  const auto sent = claimedBytes(reply, kDataLength);
  if (sent.size() < 11) return std::nullopt;
  AtipFields atip;
  atip.leadIn = msfAt(sent, 8);
  if (sent.size() >= 15) atip.leadOut = msfAt(sent, 12);
  if (sent.size() >= 17) atip.a1 = sent[16];
  return atip;
}

std::optional<DiscInformation> parseDiscInformation(std::span<const uint8_t> reply) {
  const auto sent = claimedBytes(reply, kDataLength);
  if (sent.size() < 3) return std::nullopt;
  return DiscInformation{(sent[2] & 0x10) != 0, (sent[2] & 0x03) == 0};
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

size_t headerBytes(ModeHeader header) { return header == ModeHeader::Six ? 4 : 8; }

std::optional<ModeLayout> modeLayout(std::span<const uint8_t> reply, ModeHeader header) {
  const bool six = header == ModeHeader::Six;
  if (reply.size() < headerBytes(header)) return std::nullopt;
  const size_t descriptors = six ? reply[3] : readBe16(reply, 6);
  return ModeLayout{claimedBytes(reply, six ? kModeDataLength6 : kDataLength), headerBytes(header) + descriptors};
}

}  // namespace

std::span<const uint8_t> findModePage(std::span<const uint8_t> reply, ModeHeader header, uint8_t pageCode) {
  const auto layout = modeLayout(reply, header);
  if (!layout || layout->firstPage + 2 > layout->valid.size()) return {};
  const auto page = layout->valid.subspan(layout->firstPage);
  if ((page[0] & 0x3F) != pageCode) return {};
  return page;
}

CdCapabilities capabilitiesFromPage(std::span<const uint8_t> page) {
  CdCapabilities caps;
  caps.mediaFlags = page.size() > 2 ? page[2] : 0;
  caps.audioFlags = page.size() > 5 ? page[5] : 0;
  caps.c2Pointers = (caps.audioFlags & 0x10) != 0;
  caps.maximumSpeed = readBe16(page, 8);
  caps.bufferSizeKB = readBe16(page, 12);
  caps.currentSpeed = readBe16(page, 14);
  return caps;
}

CdCapabilities parseCdCapabilities(std::span<const uint8_t> reply, ModeHeader header) {
  const auto layout = modeLayout(reply, header);
  if (!layout) return {};
  std::span<const uint8_t> page = findModePage(reply, header, 0x2A);
  if (page.empty()) {
    // Some drives leave out the page header bits; fall back to the first page
    // position only when no block descriptors were claimed.
    if (layout->firstPage != headerBytes(header) || layout->firstPage > layout->valid.size()) return {};
    page = layout->valid.subspan(layout->firstPage);
  }
  return capabilitiesFromPage(page);
}

}  // namespace tmx
