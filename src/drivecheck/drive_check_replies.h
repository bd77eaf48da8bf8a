// Pure readers of the replies the drive check prints from: mode pages, the
// track table and the full TOC. Each trusts a length inside a reply only as
// far as the bytes that came back reach.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "drive/cdb_builders.h"
#include "drive/reply_parsers.h"

namespace tmx {

// MODE SENSE(6) and (10) of one page, current values, with room for the
// header and one block descriptor beside `length` bytes of page.
CdbRequest modeSense6PageCdb(uint8_t page, uint8_t length);
CdbRequest modeSense10PageCdb(uint8_t page, uint16_t length);

// The page `pageCode` of a MODE SENSE reply: located after the header and
// the block descriptors the header announces, checked for its code, cut at
// the page's own length and at the reply's mode data length. Empty when the
// reply holds no such page.
std::span<const uint8_t> findModePage(std::span<const uint8_t> reply, bool tenByteHeader, uint8_t pageCode);

// What the report prints of the CD capabilities page (2Ah).
struct CapabilityFacts {
  int bufferKiB = 0;
  int maximumReadKBps = 0;
  bool readCdR = false, readCdRw = false, readCdda = false, cddaAccurate = false, readRw = false, rwPacked = false,
       c2Pointers = false;
};
// Needs the page through byte 13; nullopt for a shorter page.
std::optional<CapabilityFacts> parseCapabilityPage(std::span<const uint8_t> page);

// "Type         : data mode 1" and the like, from tocTrackCounts and
// discTypeFromFullToc (drive/reply_parsers.h).
std::string discTypeLine(const TocTrackCounts& tracks, int discType);

}  // namespace tmx
