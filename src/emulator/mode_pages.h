// MODE SENSE replies (pages 01h and 2Ah, 6- and 10-byte headers, optional
// block descriptor) and MODE SELECT parameter lists (the block descriptor
// that sets the read block length).
#pragma once

#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "emulator/sense.h"

namespace tmx::emu {

struct BlockMode {
  uint8_t density = 0x00;
  uint32_t blockLength = 2048;
  friend bool operator==(const BlockMode&, const BlockMode&) = default;
};

// What the pages report about the drive right now.
struct ModeFacts {
  BlockMode block;
  uint8_t mediumType = 0x70;  // 01h data, 02h audio, 03h mixed, 70h no disc
  uint32_t maxReadKBps = 0;
  uint32_t currentReadKBps = 0;
  uint32_t bufferKiB = 0;
  bool c2Pointers = false;
  bool accurateStream = false;
  bool cddaCommands = true;
  uint8_t dvdReadFlags = 0;  // byte 2 bits 3-5: DVD-ROM, DVD-R, DVD-RAM
};

struct ModeSenseRequest {
  bool ten = true;               // MODE SENSE(10) header
  bool disableBlockDescriptors = false;
  uint8_t pageControl = 0;       // 0 current, 1 changeable, 2 default, 3 saved
  uint8_t pageCode = 0x2A;       // 3Fh: all pages
};

using ModeReply = std::variant<std::vector<uint8_t>, Sense>;

ModeReply modeSenseReply(const ModeSenseRequest& request, const ModeFacts& facts);

// Reads the block descriptor out of a MODE SELECT list (6- or 10-byte
// header). A list without a descriptor keeps `current`. Accepted: 2048-byte
// blocks with density 00h, 2352 and (with C2 support) 2646 with 00h or 82h.
std::variant<BlockMode, Sense> parseModeSelectList(std::span<const uint8_t> list, bool ten, BlockMode current,
                                                    bool c2Allowed);

}  // namespace tmx::emu
