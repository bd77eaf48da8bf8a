// Paints the speed graph model's shape list. The widget's own coordinates are
// the main window's client coordinates: the window places it at (0, 0) and
// calls update() after the model changes. A context menu over the graph
// copies it or saves it as PNG.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>

#include "program/speed_graph_model.h"

class QMenu;

namespace tmx::ui {

// The questions a graph save asks, so tests can answer them.
class GraphDialogs {
 public:
  virtual ~GraphDialogs() = default;
  // The file to save the PNG to; empty when the user cancels.
  virtual QString askPngPath(QWidget* parent, const QString& proposed) = 0;
  // An error box titled "Tachometrix" with the critical icon.
  virtual void showError(QWidget* parent, const QString& text) = 0;
};

// Qt's save dialog and message box.
class QtGraphDialogs : public GraphDialogs {
 public:
  QString askPngPath(QWidget* parent, const QString& proposed) override;
  void showError(QWidget* parent, const QString& text) override;
};

class SpeedGraph : public QWidget {
  Q_OBJECT

 public:
  explicit SpeedGraph(const SpeedGraphModel& model, QWidget* parent = nullptr);
  ~SpeedGraph() override;

  // Not owned; nullptr goes back to Qt's dialogs.
  void setDialogs(GraphDialogs* dialogs);

  // The graph region (banner, frame, content) as the window shows it.
  QImage graphImage() const;
  // The menu the graph shows on a right click; the caller owns it.
  QMenu* createContextMenu();

  QSize sizeHint() const override { return {633, 440}; }

 public slots:
  void copyGraph();
  void saveGraphAs();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  const SpeedGraphModel& model_;
  std::unique_ptr<QtGraphDialogs> qtDialogs_;
  GraphDialogs* dialogs_;
};

}  // namespace tmx::ui
