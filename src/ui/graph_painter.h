// Paints a speed graph shape list with exact pixels: a line leaves out its end
// pixel, a rectangle covers (x1, y1) up to but excluding (x2, y2), a text is
// centred on x with its top at y.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <vector>

#include "program/speed_graph_model.h"

namespace tmx::ui {

// What the shapes leave to the platform.
struct GraphLook {
  QColor buttonFace;
  QColor buttonText;
  QFont font;  // the default GUI font
};

void paintGraphShapes(QPainter& painter, const std::vector<GraphShape>& shapes, const GraphLook& look);

// The graph as a picture of kGraphImageWidth x kGraphImageHeight pixels.
QImage renderGraphImage(const std::vector<GraphShape>& shapes, const GraphLook& look);

}  // namespace tmx::ui
