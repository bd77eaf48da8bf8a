// Reply layouts of READ TOC/PMA/ATIP and READ DISC INFORMATION for a disc.
// Each returns the whole reply (its length field tells the real length) or
// the sense condition to answer; the caller cuts it to the allocation length.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "emulator/disc.h"
#include "emulator/sense.h"

namespace tmx::emu {

using Reply = std::variant<std::vector<uint8_t>, Sense>;

// Format 0: header (length, first, last track) and 8-byte descriptors from
// `startTrack` (0 = first) through the lead-out (AAh), in LBA or MSF.
Reply tocReply(const Disc& disc, uint8_t startTrack, bool msf);
// Format 1: first track of the last session.
Reply sessionInfoReply(const Disc& disc, bool msf);
// Format 2: raw TOC, 11-byte entries A0, A1, A2 and one per track (MSF).
Reply fullTocReply(const Disc& disc);
// Format 4: ATIP of recordable media; a pressed disc has none (05/24/00).
Reply atipReply(const Disc& disc);
// Standard disc information, 34 bytes.
std::vector<uint8_t> discInformationReply(const Disc& disc);

}  // namespace tmx::emu
