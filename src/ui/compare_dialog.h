// The Compare window: the overlaid curves of 2 to 8 runs on a canvas that
// follows the window's size, a readout of position and speeds under the
// pointer, the figures of all runs in one table with the differences to the
// first, and an export of the picture as PNG or SVG. What it shows comes from
// CompareModel; the widgets only show it.
#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "app/compare_model.h"
#include "app/window_dialogs.h"

class QLabel;
class QTableWidget;

namespace tmx::ui {

class CompareCanvas : public QWidget {
  Q_OBJECT

 public:
  CompareCanvas(CompareModel& model, QWidget* parent = nullptr);
  // The picture at the canvas's size, without the pointer's line.
  QImage picture() const;
  QSize sizeHint() const override { return {760, 460}; }
  QSize minimumSizeHint() const override { return {320, 240}; }

 signals:
  void readoutChanged(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  CompareModel& model_;
  int pointerX_ = -1;
};

class CompareDialog : public QDialog {
  Q_OBJECT

 public:
  // `dialogs` (the window's) asks for the export's file and shows its failure.
  CompareDialog(std::vector<ComparedRun> runs, WindowDialogs& dialogs, QWidget* parent = nullptr);

  CompareModel& model() { return model_; }
  CompareCanvas* canvas() const { return canvas_; }
  QTableWidget* table() const { return table_; }
  QLabel* readout() const { return readout_; }
  // Writes the picture to `path`: SVG for a name ending in .svg, PNG
  // otherwise. False (the message shown) when it could not be written.
  bool exportTo(const std::string& path);

 public slots:
  void exportPicture();

 private:
  void fillTable();

  CompareModel model_;
  WindowDialogs& dialogs_;
  CompareCanvas* canvas_;
  QTableWidget* table_;
  QLabel* readout_;
};

}  // namespace tmx::ui
