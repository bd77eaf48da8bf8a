// Texts that come from a drive or a file may hold any bytes: INQUIRY fields
// padded with 0xFF, a DAT version written by another program. Before such a
// text reaches a terminal it is made valid UTF-8 without control characters.
#pragma once

#include <string>
#include <string_view>

namespace tmx {

// Keeps valid UTF-8 (printable ASCII and well-formed multi-byte sequences);
// every other byte, and every control character (tab and line breaks
// included), becomes U+FFFD.
std::string safeText(std::string_view bytes);

}  // namespace tmx
