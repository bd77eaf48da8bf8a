// READ DISC STRUCTURE replies of a DVD or BD: the DVD physical format
// (format 00h), DVD-R(W) pre-pit data (0Eh), DVD+R(W) ADIP (11h), BD disc
// information (media type 1, format 00h) and the list of the disc's
// structures (FFh). A CD answers 05/30/02 (incompatible format), a structure
// the disc does not have 05/24/00.
#pragma once

#include <cstdint>

#include "emulator/disc.h"
#include "emulator/toc_replies.h"

namespace tmx::emu {

inline constexpr uint32_t kDvdStartPsn = 0x030000;

Reply discStructureReply(const Disc& disc, uint8_t mediaType, uint8_t layer, uint8_t format);

}  // namespace tmx::emu
