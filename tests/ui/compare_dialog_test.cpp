#include "ui/compare_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTableWidget>
#include <cmath>
#include <cstdio>

#include "results/scratch_dir.h"
#include "support/window_rig.h"

namespace tmx::ui {
namespace {

std::vector<ComparedRun> threeRuns() {
  std::vector<ComparedRun> runs;
  for (int r = 0; r < 3; ++r) {
    ComparedRun run{"#" + std::to_string(r + 1), "#" + std::to_string(r + 1) + " drive " + std::to_string(r), {}};
    for (int z = 0; z < 37; ++z) run.report.zones.push_back({z * 9000, 16.0 + 8 * r + 0.5 * z});
    run.report.averageX = 20.0 + 8 * r;
    runs.push_back(std::move(run));
  }
  return runs;
}

QColor colourOf(uint32_t word) { return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF); }

TEST(CompareDialog, CurvesFollowTheWindowsSizeInTheirColours) {
  testing::ScriptedDialogs dialogs;
  CompareDialog dialog(threeRuns(), dialogs);
  dialog.resize(900, 800);
  dialog.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.windowTitle(), "Compare 3 runs");
  CompareCanvas* canvas = dialog.canvas();
  const QImage before = canvas->grab().toImage();
  const CompareGraph& graph = dialog.model().graph(canvas->width(), canvas->height());
  // The first run's curve starts at 16X on the left edge of the plot.
  const int y =
      graph.axes.bottom - static_cast<int>(std::lround(16.0 / graph.axes.yMaxX * (graph.axes.bottom - graph.axes.top)));
  EXPECT_EQ(before.pixelColor(graph.axes.left + 1, y), colourOf(compareColour(0)));
  const int widthBefore = canvas->width();
  dialog.resize(1200, 800);
  QCoreApplication::processEvents();
  EXPECT_GT(canvas->width(), widthBefore);
  EXPECT_EQ(dialog.model().graph(canvas->width(), canvas->height()).axes.right, canvas->width() - 24);
}

TEST(CompareDialog, TheTableHasEveryRunAndTheReadoutFollowsThePointer) {
  testing::ScriptedDialogs dialogs;
  CompareDialog dialog(threeRuns(), dialogs);
  dialog.resize(900, 800);
  dialog.show();
  QCoreApplication::processEvents();
  QTableWidget* table = dialog.table();
  ASSERT_EQ(table->columnCount(), 3);
  EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "#3");
  EXPECT_EQ(table->verticalHeaderItem(0)->text(), "Average speed");
  EXPECT_EQ(table->item(0, 0)->text(), "20.00 X");
  EXPECT_EQ(table->item(0, 2)->text(), "36.00 X  (+16.00 X)");

  CompareCanvas* canvas = dialog.canvas();
  const CompareGraph& graph = dialog.model().graph(canvas->width(), canvas->height());
  const QPoint inside(graph.axes.left + (graph.axes.right - graph.axes.left) / 8, graph.axes.top + 20);  // 10 minutes
  QMouseEvent move(QEvent::MouseMove, inside, canvas->mapToGlobal(inside), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(canvas, &move);
  // About 10 minutes in, where the curves run at about 18.5, 26.5 and 34.5X.
  const std::string text = dialog.readout()->text().toStdString();
  EXPECT_EQ(text, dialog.model().readoutText(inside.x()));
  double minutes = 0, a = 0, b = 0, c = 0;
  ASSERT_EQ(std::sscanf(text.c_str(), "%lf min   #1 %lf X   #2 %lf X   #3 %lf X", &minutes, &a, &b, &c), 4) << text;
  EXPECT_NEAR(minutes, 10.0, 0.15);
  EXPECT_NEAR(a, 18.5, 0.1);
  EXPECT_NEAR(c - a, 16.0, 1e-9);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(canvas, &leave);
  EXPECT_EQ(dialog.readout()->text(), "");
}

TEST(CompareDialog, ExportsThePictureAsPngOrSvg) {
  testing::ScratchDir dir;
  testing::ScriptedDialogs dialogs;
  CompareDialog dialog(threeRuns(), dialogs);
  dialog.resize(900, 800);
  dialog.show();
  QCoreApplication::processEvents();
  const std::string png = (dir / "compare.png").string(), svg = (dir / "compare.svg").string();
  dialogs.paths = {png, svg};
  dialog.exportPicture();
  dialog.exportPicture();
  ASSERT_EQ(dialogs.choices.size(), 2u);
  EXPECT_EQ(dialogs.choices[0].filter, "PNG pictures|*.png|SVG pictures|*.svg||");
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(png)));
  EXPECT_EQ(image.size(), dialog.canvas()->size());
  const std::string text = testing::readFile(svg);
  EXPECT_NE(text.find("width=\"" + std::to_string(dialog.canvas()->width()) + "\""), std::string::npos);
  EXPECT_NE(text.find(">#3 drive 2</text>"), std::string::npos);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(dialog.exportTo((dir / "none" / "compare.png").string()));
  ASSERT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace tmx::ui
