#include "ui/speed_graph.h"

#include <QPainter>

#include "ui/colour_word.h"

namespace tmx::ui {

SpeedGraph::SpeedGraph(const SpeedGraphModel& model, QWidget* parent) : QWidget(parent), model_(model) {}

void SpeedGraph::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor face = palette().color(QPalette::Button);
  auto colour = [&](uint32_t word) { return word == kButtonFaceColour ? face : colourFromWord(word); };
  for (const GraphShape& s : model_.shapes()) {
    switch (s.kind) {
      case GraphShape::Kind::Line:
        painter.setPen(colour(s.colour));
        painter.drawLine(s.x1, s.y1, s.x2, s.y2);
        break;
      case GraphShape::Kind::FilledRect:
        painter.setPen(colour(s.colour));
        painter.setBrush(colour(s.fill));
        painter.drawRect(s.x1, s.y1, s.x2 - s.x1 - 1, s.y2 - s.y1 - 1);
        painter.setBrush(Qt::NoBrush);
        break;
      case GraphShape::Kind::Text:
        painter.setPen(colour(s.colour));
        painter.drawText(QRect(s.x1 - 50, s.y1, 100, 20), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(s.text));
        break;
      case GraphShape::Kind::Banner:
        break;
    }
  }
}

}  // namespace tmx::ui
