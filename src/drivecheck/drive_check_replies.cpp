#include "drivecheck/drive_check_replies.h"

#include <algorithm>

#include "drive/reply_parsers.h"

namespace tmx {
namespace {

constexpr size_t kBlockDescriptor = 8;

// The bytes a reply vouches for: its own length field (counting the bytes
// after the field) within what came back.
std::span<const uint8_t> claimed(std::span<const uint8_t> reply, size_t lengthFieldBytes) {
  if (reply.size() < lengthFieldBytes) return {};
  const size_t own = lengthFieldBytes == 1 ? size_t{reply[0]} + 1 : size_t{readBe16(reply, 0)} + 2;
  return reply.first(std::min(reply.size(), own));
}

}  // namespace

CdbRequest modeSense6PageCdb(uint8_t page, uint8_t length) {
  CdbRequest r;
  const uint32_t allocation = std::min<uint32_t>(255, uint32_t{length} + 4 + kBlockDescriptor);
  r.bytes = {0x1A, 0x00, page, 0x00, static_cast<uint8_t>(allocation), 0x00};
  r.transferLength = allocation;
  return r;
}

CdbRequest modeSense10PageCdb(uint8_t page, uint16_t length) {
  CdbRequest r;
  const uint32_t allocation = std::min<uint32_t>(0xFFFF, uint32_t{length} + 8 + kBlockDescriptor);
  r.bytes = {0x5A, 0x00, page, 0x00, 0x00, 0x00, 0x00, static_cast<uint8_t>(allocation >> 8),
             static_cast<uint8_t>(allocation), 0x00};
  r.transferLength = allocation;
  return r;
}

std::span<const uint8_t> findModePage(std::span<const uint8_t> reply, bool tenByteHeader, uint8_t pageCode) {
  const size_t header = tenByteHeader ? 8 : 4;
  const auto valid = claimed(reply, tenByteHeader ? 2 : 1);
  if (valid.size() < header) return {};
  const size_t descriptors = tenByteHeader ? readBe16(valid, 6) : valid[3];
  const size_t at = header + descriptors;
  if (at + 2 > valid.size() || (valid[at] & 0x3F) != pageCode) return {};
  const size_t pageBytes = std::min(valid.size() - at, size_t{valid[at + 1]} + 2);
  return valid.subspan(at, pageBytes);
}

std::optional<CapabilityFacts> parseCapabilityPage(std::span<const uint8_t> page) {
  if (page.size() < 14) return std::nullopt;
  CapabilityFacts f;
  f.bufferKiB = readBe16(page, 12);
  f.maximumReadKBps = readBe16(page, 8);
  f.readCdR = page[2] & 0x01;
  f.readCdRw = page[2] & 0x02;
  f.readCdda = page[5] & 0x01;
  f.cddaAccurate = page[5] & 0x02;
  f.readRw = page[5] & 0x04;
  f.rwPacked = page[5] & 0x08;
  f.c2Pointers = page[5] & 0x10;
  return f;
}

std::string discTypeLine(const TocTrackCounts& tracks, int discType) {
  std::string line = "Type         : ";
  if (tracks.tracks() == 0) return line + "unknown";
  if (tracks.data == 0) return line + "audio";
  line += tracks.audio == 0 ? "data" : "mixed";
  if (discType == 0x00) line += " mode 1";
  if (discType == 0x10) line += " CD-i";
  if (discType == 0x20) line += " mode 2";
  return line;
}

}  // namespace tmx
