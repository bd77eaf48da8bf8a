#include "program/markup_text.h"

#include "results/safe_text.h"

namespace tmx {

std::string markupText(std::string_view text) {
  const std::string safe = safeText(text);
  std::string out;
  out.reserve(safe.size());
  for (char c : safe) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace tmx
