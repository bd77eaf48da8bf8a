// printf-style formatting into a std::string of whatever length it needs, for
// the panel, report and status texts whose formats are fixed printf formats.
#pragma once

#include <string>

namespace tmx {

[[gnu::format(printf, 1, 2)]] std::string formatString(const char* format, ...);

}  // namespace tmx
