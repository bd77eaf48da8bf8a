// Colour words are 0x00BBGGRR (low byte red); a QRgb is 0xAARRGGBB, so the
// two are converted explicitly, never cast.
#pragma once

#include <QColor>
#include <cstdint>

namespace tmx::ui {

inline QColor colourFromWord(uint32_t word) {
  return QColor(static_cast<int>(word & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                static_cast<int>((word >> 16) & 0xFF));
}

inline uint32_t wordFromColour(const QColor& colour) {
  return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
         static_cast<uint32_t>(colour.blue()) << 16;
}

}  // namespace tmx::ui
