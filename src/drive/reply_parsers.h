// Reply parsers. Each takes the reply area as a span (the bytes the command
// could have filled) and trusts a length field inside the reply only as far as
// the span reaches: a drive may claim more than it sent or than we asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tmx {

// Where a reply's length field sits. The field (big-endian, 1, 2 or 4 bytes)
// counts the reply's bytes after itself.
struct LengthField {
  size_t offset = 0;
  size_t width = 2;
};
inline constexpr LengthField kDataLength{0, 2};        // READ TOC, READ DISC INFORMATION, MODE SENSE(10)
inline constexpr LengthField kModeDataLength6{0, 1};   // MODE SENSE(6)
inline constexpr LengthField kAdditionalLength{4, 1};  // INQUIRY
inline constexpr LengthField kDataLength32{0, 4};      // GET CONFIGURATION, GET PERFORMANCE

// The front of `reply` that its own length field vouches for, never longer
// than the span: bytes past it may be left over from an earlier command or a
// prefill. Empty when the span cannot hold the field.
//   claimedBytes({0x00, 0x02, 0xAA, 0xBB, 0x66}, kDataLength) -> {0x00, 0x02, 0xAA, 0xBB}
std::span<const uint8_t> claimedBytes(std::span<const uint8_t> reply, LengthField field);

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

// Tracks of a READ TOC format 0 reply (first to last track number, the
// lead-out excluded), counting only descriptors inside the reply as above.
struct TocTrackCounts {
  int data = 0;
  int audio = 0;
  int tracks() const { return data + audio; }
};
TocTrackCounts tocTrackCounts(std::span<const uint8_t> reply);

// Disc type from a full TOC (READ TOC format 2): the PSEC byte of the last
// A0h entry (00h mode 1, 10h CD-i, 20h mode 2), -1 when there is none. Only
// whole 11-byte entries inside the reply's data length and the span count, and
// only those of the reply's sessions with ADR 1.
int discTypeFromFullToc(std::span<const uint8_t> reply);

struct Msf {
  uint8_t minutes = 0, seconds = 0, frames = 0;
  bool operator==(const Msf&) const = default;
};

// The ATIP fields of a READ TOC format 4 reply (4-byte header included). A
// field the reply stops short of is absent.
struct AtipFields {
  Msf leadIn;                   // bytes 8-10: start time of the lead-in
  std::optional<Msf> leadOut;   // bytes 12-14: last possible start of the lead-out
  std::optional<uint8_t> a1;    // byte 16: first byte of the A1 field
  bool operator==(const AtipFields&) const = default;
};
// Empty when the reply's own data length or the span stops before byte 10.
std::optional<AtipFields> parseAtip(std::span<const uint8_t> reply);

// Byte 2 of a READ DISC INFORMATION reply.
struct DiscInformation {
  bool erasable = false;  // bit 4
  bool blank = false;     // disc status (bits 1-0) 00b: nothing recorded
  bool operator==(const DiscInformation&) const = default;
};
// Empty when the reply does not reach byte 2.
std::optional<DiscInformation> parseDiscInformation(std::span<const uint8_t> reply);

// Last LBA + 1 from a READ CAPACITY reply (32-bit arithmetic, so FFFFFF69h
// gives -150); 0 when the reply is shorter than 4 bytes.
int32_t capacityFromReply(std::span<const uint8_t> reply);

// The mode parameter header of a MODE SENSE(6) (4 bytes) or (10) (8 bytes) reply.
enum class ModeHeader { Six, Ten };

// The bytes of mode page `pageCode` in a MODE SENSE reply, from its page code
// byte to the end of the reply's own mode data length (or of the span, when
// shorter). The page sits after the header and any block descriptors the drive
// sent despite DBD. Empty when the page is not there.
std::span<const uint8_t> findModePage(std::span<const uint8_t> reply, ModeHeader header, uint8_t pageCode);

// The CD capabilities page (2Ah).
struct CdCapabilities {
  int maximumSpeed = 0;  // KB/s, bytes 8-9
  int currentSpeed = 0;  // KB/s, bytes 14-15
  int bufferSizeKB = 0;  // bytes 12-13
  uint8_t mediaFlags = 0;  // byte 2: reads CD-R (bit 0), CD-RW (bit 1)
  uint8_t audioFlags = 0;  // byte 5: CD-DA, accurate stream, R-W, R-W packed, C2 pointers (bits 0-4)
  bool c2Pointers = false;

  bool readsCdR() const { return (mediaFlags & 0x01) != 0; }
  bool readsCdRw() const { return (mediaFlags & 0x02) != 0; }
  bool readsCdda() const { return (audioFlags & 0x01) != 0; }
  bool accurateStream() const { return (audioFlags & 0x02) != 0; }
  bool readsRw() const { return (audioFlags & 0x04) != 0; }
  bool rwPacked() const { return (audioFlags & 0x08) != 0; }
};
// The fields of the page itself (from its page code byte); those past its
// end read as 0.
CdCapabilities capabilitiesFromPage(std::span<const uint8_t> page);
// Page 2Ah from a MODE SENSE reply; fields outside the reply's own length read
// as 0. A drive that leaves the page code byte wrong is still read at the
// first page position when it sent no block descriptors.
CdCapabilities parseCdCapabilities(std::span<const uint8_t> reply, ModeHeader header = ModeHeader::Ten);

uint16_t readBe16(std::span<const uint8_t> bytes, size_t offset);
uint32_t readBe32(std::span<const uint8_t> bytes, size_t offset);

}  // namespace tmx
