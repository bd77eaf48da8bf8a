// Paints the speed graph model's shape list. The widget's own coordinates are
// the main window's client coordinates: the window places it at (0, 0).
#pragma once

#include <QWidget>

#include "app/speed_graph_model.h"

namespace tmx::ui {

class SpeedGraph : public QWidget {
  Q_OBJECT

 public:
  explicit SpeedGraph(const SpeedGraphModel& model, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const SpeedGraphModel& model_;
};

}  // namespace tmx::ui
