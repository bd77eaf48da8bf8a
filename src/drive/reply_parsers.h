// Reply parsers. Each takes the reply area as a span (the bytes the command
// could have filled) and trusts a length field inside the reply only as far as
// the span reaches: a drive may claim more than it sent or than we asked for.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tmx {

struct InquiryTexts {
  uint8_t peripheral = 0xFF;  // byte 0: qualifier and device type
  std::string vendor;         // bytes 8-15, as returned (blanks kept)
  std::string product;        // bytes 16-31
  std::string revision;       // bytes 32-35
};
// Each text ends at its field's end, at its first NUL, or where the reply's
// additional length says the reply ends.
InquiryTexts parseInquiry(std::span<const uint8_t> reply);

// Disc kind from a READ TOC format 0 reply: 0 data only, 1 audio only, 2 both,
// -1 no track. Only descriptors wholly inside both the reply's own data length
// and the span are examined.
int classifyTocReply(std::span<const uint8_t> reply);

// Last LBA + 1 from a READ CAPACITY reply (32-bit arithmetic, so FFFFFF69h
// gives -150); 0 when the reply is shorter than 4 bytes.
int32_t capacityFromReply(std::span<const uint8_t> reply);

struct CdCapabilities {
  int maximumSpeed = 0;  // KB/s
  int currentSpeed = 0;  // KB/s
  bool c2Pointers = false;
};
// Page 2Ah from a MODE SENSE(10) reply. The page is found after the 8-byte
// header and any block descriptors the drive sent despite DBD; fields outside
// the reply's own length read as 0.
CdCapabilities parseCdCapabilities(std::span<const uint8_t> reply);

uint16_t readBe16(std::span<const uint8_t> bytes, size_t offset);
uint32_t readBe32(std::span<const uint8_t> bytes, size_t offset);

}  // namespace tmx
