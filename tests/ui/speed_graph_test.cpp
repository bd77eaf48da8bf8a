#include "ui/speed_graph.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tmx::ui {
namespace {

const QColor kCurve(0, 255, 0);
const QColor kRpm(255, 255, 0);
const QColor kMarker(255, 0, 0);
const QColor kMajor(64, 64, 255);
const QColor kMinor(0, 0, 160);

struct GraphRig {
  AppSettings settings;
  TestResults record;
  SpeedGraphModel model{settings, record};
  SpeedGraph graph{model};

  // A 333000-sector disc read at 12X in every zone.
  GraphRig() {
    resetRecord(record);
    record.discLength = 333000;
    for (int i = 0; i < 37; ++i) record.speedSamples[static_cast<size_t>(i)] = 60.0;
    record.speedSamples[37] = -1.0;
    model.redrawGraph();
    graph.resize(633, 440);
  }
  QImage grab() { return graph.grab().toImage(); }
};

TEST(SpeedGraph, PaintsTheShapesAtTheirPixels) {
  GraphRig rig;
  const QImage image = rig.grab();
  ASSERT_EQ(image.size(), QSize(633, 440));
  auto at = [&](int x, int y) { return image.pixelColor(x, y); };

  // The curve at 12X runs along y = 248 over the zone lines it crosses.
  EXPECT_EQ(at(40, 248), kCurve);
  EXPECT_EQ(at(399, 248), kCurve);
  // Its last segment leaves out its end pixel: the end marker drawn earlier shows there.
  EXPECT_EQ(at(400, 248), kMarker);
  EXPECT_EQ(at(400, 307), kMarker);
  EXPECT_EQ(at(400, 308), kMinor);  // the marker's excluded end: zone line 36 shows
  // The RPM curve falls from 59.6 to 56.35 over zone 1.
  EXPECT_EQ(at(47, 250), kRpm);
  EXPECT_EQ(at(49, 251), kRpm);

  // Frame: outline, black plot, grid lines and the erased region around it.
  EXPECT_EQ(at(440, 58), kMajor);
  EXPECT_EQ(at(45, 300), QColor(Qt::black));
  EXPECT_EQ(at(50, 100), kMinor);   // zone line 1
  EXPECT_EQ(at(90, 100), kMajor);   // zone line 5, labelled
  EXPECT_EQ(at(37, 268), kMajor);   // the 8X line reaches 3 pixels left of the plot
  EXPECT_EQ(at(36, 268), rig.graph.palette().color(QPalette::Button));
  EXPECT_EQ(at(442, 57), kMajor);   // the RPM scale's tick of 25
  EXPECT_EQ(at(443, 57), rig.graph.palette().color(QPalette::Button));

  // Separators and banner.
  EXPECT_EQ(at(300, 0), QColor(Qt::black));
  EXPECT_EQ(at(300, 1), QColor(Qt::white));
  const QImage banner(":/graph/banner.png");
  ASSERT_EQ(banner.size(), QSize(181, 38));
  EXPECT_EQ(at(10, 3), banner.pixelColor(0, 0));
  EXPECT_EQ(at(190, 40), banner.pixelColor(180, 37));

  // Labels: something darker than the face left of the " 8X" line.
  bool inked = false;
  for (int y = 252; y < 268 && !inked; ++y) {
    for (int x = 5; x < 30 && !inked; ++x) inked = at(x, y).lightness() < 128;
  }
  EXPECT_TRUE(inked);
}

TEST(SpeedGraph, QualityBarsAndAnEmptyGraph) {
  GraphRig rig;
  rig.model.setQualityMode(true, 9000);
  rig.record.qualityMap[0] = 20;
  rig.record.qualityMap[1] = 20;
  rig.model.redrawGraph();
  QImage image = rig.grab();
  EXPECT_EQ(image.pixelColor(40, 300), kMajor);  // block 0: the zone line stays
  EXPECT_EQ(image.pixelColor(41, 308), kRpm);
  EXPECT_EQ(image.pixelColor(41, 289), kRpm);
  EXPECT_NE(image.pixelColor(41, 288), kRpm);
  EXPECT_EQ(image.pixelColor(50, 100), kMarker);

  rig.model.setQualityMode(false);
  resetRecord(rig.record);
  rig.model.redrawGraph();
  image = rig.grab();
  for (int x = 41; x < 440; x += 7) EXPECT_NE(image.pixelColor(x, 248), kCurve) << x;
}

class AnsweringDialogs : public GraphDialogs {
 public:
  QString askPngPath(QWidget*, const QString& proposed) override {
    proposedName = proposed;
    return answer;
  }
  void showError(QWidget*, const QString& text) override { errors.append(text); }
  QString answer;
  QString proposedName;
  QStringList errors;
};

TEST(SpeedGraph, ContextMenuCopiesAndSavesTheGraph) {
  GraphRig rig;
  AnsweringDialogs dialogs;
  rig.graph.setDialogs(&dialogs);
  // Right of the graph region lie the window's controls: no menu there.
  QContextMenuEvent outside(QContextMenuEvent::Mouse, QPoint(500, 100), rig.graph.mapToGlobal(QPoint(500, 100)));
  QCoreApplication::sendEvent(&rig.graph, &outside);
  EXPECT_FALSE(outside.isAccepted());

  std::unique_ptr<QMenu> menu(rig.graph.createContextMenu());
  const auto actions = menu->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "Copy graph");
  EXPECT_EQ(actions[1]->text(), "Save graph as PNG...");

  const QImage expected = rig.graph.graphImage();
  EXPECT_EQ(expected.size(), QSize(kGraphImageWidth, kGraphImageHeight));
  EXPECT_EQ(expected.pixelColor(45, 248), kCurve);
  actions[0]->trigger();
  EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(expected.format()), expected);

  QTemporaryDir dir;
  dialogs.answer = dir.filePath("run.png");
  actions[1]->trigger();
  EXPECT_EQ(dialogs.proposedName, "graph.png");
  EXPECT_TRUE(dialogs.errors.isEmpty());
  EXPECT_EQ(QImage(dialogs.answer).convertToFormat(expected.format()), expected);

  // Cancelled: nothing written, nothing said.
  dialogs.answer.clear();
  actions[1]->trigger();
  EXPECT_TRUE(dialogs.errors.isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.png"});

  // A folder that does not exist: the box names the file; nothing is left behind.
  dialogs.answer = dir.filePath("missing/run.png");
  actions[1]->trigger();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].startsWith("Error saving ")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(dialogs.errors[0].contains("missing/run.png"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.png"});
}

}  // namespace
}  // namespace tmx::ui
