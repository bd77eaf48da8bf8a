// Text from a drive or a file placed in HTML or SVG: made valid UTF-8
// without control characters, then the five markup characters escaped.
#pragma once

#include <string>
#include <string_view>

namespace tmx {

// "A<B & \"C\"" -> "A&lt;B &amp; &quot;C&quot;"; a tab or a stray byte becomes U+FFFD.
std::string markupText(std::string_view text);

}  // namespace tmx
