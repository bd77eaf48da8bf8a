#include "program/graph_svg.h"

#include "program/banner_png.h"
#include "program/markup_text.h"

#include <cstdio>
#include <cstdlib>

namespace tmx {
namespace {

std::string hexColour(uint32_t word, const GraphSvgLook& look) {
  if (word == kButtonFaceColour) word = look.buttonFace;
  if (word == kButtonTextColour) word = look.buttonText;
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", word & 0xFFu, (word >> 8) & 0xFFu, (word >> 16) & 0xFFu);
  return text;
}

// A block of whole pixels.
std::string pixels(int x, int y, int w, int h, const std::string& colour) {
  return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" + std::to_string(w) +
         "\" height=\"" + std::to_string(h) + "\" fill=\"" + colour + "\"/>\n";
}

std::string lineElement(const GraphShape& s, const GraphSvgLook& look) {
  const std::string colour = hexColour(s.colour, look);
  const int dx = s.x2 - s.x1;
  const int dy = s.y2 - s.y1;
  // Lines along an axis are the pixels up to the end, exclusive.
  if (dy == 0) return dx == 0 ? std::string() : pixels(dx > 0 ? s.x1 : s.x2 + 1, s.y1, std::abs(dx), 1, colour);
  if (dx == 0) return pixels(s.x1, dy > 0 ? s.y1 : s.y2 + 1, 1, std::abs(dy), colour);
  // A slanted segment from pixel centre to pixel centre.
  char text[192];
  std::snprintf(text, sizeof text,
                "<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\" stroke=\"%s\" stroke-width=\"1\"/>\n",
                s.x1, s.y1, s.x2, s.y2, colour.c_str());
  return text;
}

std::string rectElements(const GraphShape& s, const GraphSvgLook& look) {
  const int w = s.x2 - s.x1;
  const int h = s.y2 - s.y1;
  if (w <= 0 || h <= 0) return {};
  const std::string outline = hexColour(s.colour, look);
  std::string out = pixels(s.x1, s.y1, w, h, hexColour(s.fill, look));
  if (s.colour != s.fill) {
    out += pixels(s.x1, s.y1, w, 1, outline) + pixels(s.x1, s.y2 - 1, w, 1, outline) +
           pixels(s.x1, s.y1, 1, h, outline) + pixels(s.x2 - 1, s.y1, 1, h, outline);
  }
  return out;
}

std::string textElement(const GraphShape& s, const GraphSvgLook& look) {
  // The baseline sits about one ascent (nine tenths of the size) below the top.
  const int baseline = s.y1 + (look.fontPixels * 9 + 5) / 10;
  return "<text x=\"" + std::to_string(s.x1) + "\" y=\"" + std::to_string(baseline) +
         (s.leftAligned ? "\" text-anchor=\"start" : "") + "\" fill=\"" +
         hexColour(s.colour, look) + "\">" + markupText(s.text) + "</text>\n";
}

}  // namespace

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k) group = group << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
  }
  return out;
}

std::string graphSvg(const std::vector<GraphShape>& shapes, std::string_view bannerPng, const GraphSvgLook& look) {
  return shapesSvg(shapes, kGraphImageWidth, kGraphImageHeight, bannerPng, look);
}

std::string shapesSvg(const std::vector<GraphShape>& shapes, int width, int height, std::string_view bannerPng,
                      const GraphSvgLook& look) {
  const std::string w = std::to_string(width);
  const std::string h = std::to_string(height);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" + w + "\" height=\"" + h +
                    "\" viewBox=\"0 0 " + w + " " + h + "\" shape-rendering=\"crispEdges\">\n";
  // Blanks in labels (" 8X") move their centre as they do on screen.
  out += "<g font-family=\"" + markupText(look.fontFamily) + "\" font-size=\"" + std::to_string(look.fontPixels) +
         "px\" text-anchor=\"middle\" xml:space=\"preserve\">\n";
  out += pixels(0, 0, width, height, hexColour(kButtonFaceColour, look));
  for (const GraphShape& s : shapes) {
    switch (s.kind) {
      case GraphShape::Kind::Line: out += lineElement(s, look); break;
      case GraphShape::Kind::FilledRect: out += rectElements(s, look); break;
      case GraphShape::Kind::Text: out += textElement(s, look); break;
      case GraphShape::Kind::Banner:
        if (!bannerPng.empty()) {
          out += "<image x=\"" + std::to_string(s.x1) + "\" y=\"" + std::to_string(s.y1) + "\" width=\"" +
                 std::to_string(s.x2 - s.x1) + "\" height=\"" + std::to_string(s.y2 - s.y1) +
                 "\" xlink:href=\"data:image/png;base64," + base64(bannerPng) + "\"/>\n";
        }
        break;
    }
  }
  out += "</g>\n</svg>\n";
  return out;
}

std::string recordGraphSvg(const AppSettings& settings, const TestResults& record, bool qualityMode,
                           int32_t qualityLength) {
  TestResults copy = record;  // the replay writes the samples it plots
  SpeedGraphModel model(settings, copy);
  model.setQualityMode(qualityMode, qualityLength);
  model.redrawGraph();
  return graphSvg(model.shapes(), bannerPng());
}

}  // namespace tmx
