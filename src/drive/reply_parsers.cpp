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

int classifyTocReply(std::span<const uint8_t> reply) {
  if (reply.size() < 4) return -1;
  const int first = reply[2];
  const int last = reply[3];
  // The TOC data length counts the bytes after itself.
  const size_t available = std::min<size_t>(reply.size(), size_t{readBe16(reply, 0)} + 2);
  int kind = -1;
  for (int i = 0; i <= last - first; ++i) {
    const size_t at = 4 + 8 * static_cast<size_t>(i);
    if (at + 8 > available) break;
    const bool data = (reply[at + 1] & 0x04) != 0;
    if (data) {
      kind = kind == -1 ? 0 : kind == 1 ? 2 : kind;
    } else {
      kind = kind == -1 ? 1 : kind == 0 ? 2 : kind;
    }
  }
  return kind;
}

int32_t capacityFromReply(std::span<const uint8_t> reply) {
  if (reply.size() < 4) return 0;
  return static_cast<int32_t>(readBe32(reply, 0) + 1u);
}

CdCapabilities parseCdCapabilities(std::span<const uint8_t> reply) {
  CdCapabilities caps;
  if (reply.size() < 8) return caps;
  const size_t claimed = size_t{readBe16(reply, 0)} + 2;
  const auto valid = reply.first(std::min(reply.size(), claimed));
  const size_t page = 8 + size_t{readBe16(reply, 6)};
  if (page + 2 > valid.size() || (valid[page] & 0x3F) != 0x2A) {
    // Some drives leave out the page header bits; fall back to the fixed offset
    // only when no block descriptors were claimed.
    if (page != 8) return caps;
  }
  const auto byteAt = [&](size_t i) -> uint8_t { return i < valid.size() ? valid[i] : 0; };
  caps.c2Pointers = (byteAt(page + 5) & 0x10) != 0;
  caps.maximumSpeed = readBe16(valid, page + 8);
  caps.currentSpeed = readBe16(valid, page + 14);
  return caps;
}

}  // namespace tmx
