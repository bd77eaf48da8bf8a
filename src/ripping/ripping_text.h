// The ripping-features check as text lines, one answer a line, "not
// measured" (with why) where a part could not answer: what the CLI prints
// and the text report's section can take.
#pragma once

#include <string>
#include <vector>

#include "ripping/ripping_features.h"

namespace tmx {

std::vector<std::string> rippingTextLines(const RippingFeatures& f);
// The same for a check under way: the parts that have ended, and the
// verdict once there is one.
std::vector<std::string> rippingTextLinesSoFar(const RippingFeatures& f);
const char* readCommandName(uint8_t opcode);

}  // namespace tmx
