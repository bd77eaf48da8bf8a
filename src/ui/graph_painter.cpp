#include "ui/graph_painter.h"

#include <QFontMetrics>
#include <QPixmap>
#include <cstdlib>

#include "ui/colour_word.h"

// Resources of a static library are registered by hand, at global scope.
static void registerGraphResources() { Q_INIT_RESOURCE(graph_resources); }

namespace tmx::ui {
namespace {

QColor shapeColour(uint32_t word, const GraphLook& look) {
  if (word == kButtonFaceColour) return look.buttonFace;
  if (word == kButtonTextColour) return look.buttonText;
  return colourFromWord(word);
}

// The pixels from (x1, y1) towards (x2, y2), the end excluded, stepping one
// pixel along the longer axis and rounding the other.
void paintLine(QPainter& painter, const GraphShape& s, const QColor& colour) {
  const int dx = s.x2 - s.x1;
  const int dy = s.y2 - s.y1;
  if (dy == 0) {
    if (dx != 0) painter.fillRect(dx > 0 ? s.x1 : s.x2 + 1, s.y1, std::abs(dx), 1, colour);
    return;
  }
  if (dx == 0) {
    painter.fillRect(s.x1, dy > 0 ? s.y1 : s.y2 + 1, 1, std::abs(dy), colour);
    return;
  }
  const int steps = std::max(std::abs(dx), std::abs(dy));
  for (int i = 0; i < steps; ++i) {
    // Rounded halves away from the start, integers only.
    const int x = s.x1 + (2 * dx * i + (dx > 0 ? steps : -steps)) / (2 * steps);
    const int y = s.y1 + (2 * dy * i + (dy > 0 ? steps : -steps)) / (2 * steps);
    painter.fillRect(x, y, 1, 1, colour);
  }
}

void paintRect(QPainter& painter, const GraphShape& s, const GraphLook& look) {
  const int w = s.x2 - s.x1;
  const int h = s.y2 - s.y1;
  if (w <= 0 || h <= 0) return;
  painter.fillRect(s.x1, s.y1, w, h, shapeColour(s.fill, look));
  const QColor outline = shapeColour(s.colour, look);
  painter.fillRect(s.x1, s.y1, w, 1, outline);
  painter.fillRect(s.x1, s.y2 - 1, w, 1, outline);
  painter.fillRect(s.x1, s.y1, 1, h, outline);
  painter.fillRect(s.x2 - 1, s.y1, 1, h, outline);
}

void paintText(QPainter& painter, const GraphShape& s, const GraphLook& look) {
  const QString text = QString::fromStdString(s.text);
  const QFontMetrics metrics(look.font);
  painter.setFont(look.font);
  painter.setPen(shapeColour(s.colour, look));
  const int x = s.leftAligned ? s.x1 : s.x1 - metrics.horizontalAdvance(text) / 2;
  painter.drawText(x, s.y1 + metrics.ascent(), text);
}

}  // namespace

void paintGraphShapes(QPainter& painter, const std::vector<GraphShape>& shapes, const GraphLook& look) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const GraphShape& s : shapes) {
    switch (s.kind) {
      case GraphShape::Kind::Line: paintLine(painter, s, shapeColour(s.colour, look)); break;
      case GraphShape::Kind::FilledRect: paintRect(painter, s, look); break;
      case GraphShape::Kind::Text: paintText(painter, s, look); break;
      case GraphShape::Kind::Banner: {
        registerGraphResources();
        // QPixmap keeps loaded files in its cache, so a repaint decodes nothing.
        const QPixmap banner(QStringLiteral(":/graph/banner.png"));
        painter.drawPixmap(s.x1, s.y1, banner);
        break;
      }
    }
  }
}

QImage renderGraphImage(const std::vector<GraphShape>& shapes, const GraphLook& look) {
  QImage image(kGraphImageWidth, kGraphImageHeight, QImage::Format_RGB32);
  image.fill(look.buttonFace);
  QPainter painter(&image);
  paintGraphShapes(painter, shapes, look);
  return image;
}

}  // namespace tmx::ui
