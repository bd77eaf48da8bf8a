// The main window offscreen: its fixed size, menus, value labels and drive
// list, a run driven through the Qt event loop, and exit during a run.
#include "ui/main_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <thread>

#include <gtest/gtest.h>

#include "support/window_rig.h"
#include "ui/channel_waker.h"
#include "ui/link_label.h"
#include "ui/qt_window_dialogs.h"
#include "ui/speed_graph.h"

namespace tmx::ui {
namespace {

using tmx::testing::WindowRig;

void processUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

struct Window {
  Window() : dialog(rig.controller) {
    rig.controller.startUp();
    dialog.show();
    QCoreApplication::processEvents();
  }
  WindowRig rig;
  MainDialog dialog;
};

TEST(MainDialog, HasTheFixedClientAreaAndNoMaximise) {
  Window w;
  EXPECT_EQ(w.dialog.clientArea()->size(), QSize(633, 440));
  EXPECT_EQ(w.dialog.minimumSize(), w.dialog.maximumSize());
  EXPECT_FALSE(w.dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(w.dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(w.dialog.windowTitle(), "Tachometrix");
  // Dialog units to pixels: x * 6 / 4, y * 13 / 8.
  EXPECT_EQ(w.dialog.startButton()->geometry(), QRect(465, 11, 75, 22));
  EXPECT_EQ(w.dialog.statusList()->geometry(), QRect(40, 355, 400, 56));
  // The graph's pixels are client pixels: it covers the client area, under every other control.
  EXPECT_EQ(static_cast<QWidget*>(w.dialog.graph())->geometry(), QRect(0, 0, 633, 440));
  EXPECT_EQ(w.dialog.clientArea()->children().first(), static_cast<QObject*>(w.dialog.graph()));
}

TEST(MainDialog, TheGraphIsPaintedAtItsClientPixelsUnderTheControls) {
  Window w;
  // 12X in zones 0 and 1, and the end of a 333000-sector disc.
  w.rig.controller.plotZoneSample(0, 60.0);
  w.rig.controller.plotZoneSample(1, 60.0);
  w.rig.controller.drawEndMarker(36 * 9000);
  const QImage image = w.dialog.clientArea()->grab().toImage();
  ASSERT_EQ(image.size(), QSize(633, 440));
  EXPECT_EQ(image.pixelColor(kGraphLeft, kGraphTop), QColor(64, 64, 255)) << "the plot's outline";
  EXPECT_EQ(image.pixelColor(45, 248), QColor(0, 255, 0)) << "the transfer rate segment";
  EXPECT_EQ(image.pixelColor(400, 200), QColor(255, 0, 0)) << "the end marker";
  EXPECT_EQ(image.pixelColor(45, 200), QColor(0, 0, 0)) << "the plot stays black elsewhere";
  // The value labels sit over the graph's region, black behind cyan text.
  const QRect value = w.dialog.valueLabel(1006)->geometry().translated(w.dialog.valueLabel(1006)->parentWidget()->pos());
  EXPECT_EQ(image.pixelColor(value.left() + 1, value.top() + 1), QColor(0, 0, 0));
}

TEST(MainDialog, MenusCarryTheCommandTableTextsShortcutsAndSeparators) {
  Window w;
  const std::pair<int, const char*> texts[] = {
      {CmdLoadDat, "&Load DAT File"},        {CmdSaveBinary, "&Binary (.DAT File)"},
      {CmdSaveAscii, "ASCII (.TXT File)"},   {CmdSaveStatus, "Save Status"},
      {CmdOptions, "&Options"},              {CmdExit, "E&xit\tAlt-F4"},
      {CmdRunSelected, "&Selected"},         {CmdRunTransferRate, "&Transfer Rate Test"},
      {CmdRunDaeQuality, "&DAE Quality Test"}, {CmdRunSeekTimes, "S&eek Times Test"},
      {CmdRunCpuUtilization, "&CPU Utilization Test"}, {CmdRunBurstRate, "&Burst Rate Test"},
      {CmdRunSpinUpDown, "Spin Up/Down Test"}, {CmdQualityCheck, "&CD quality check"},
      {CmdDriveCheck, "&Drive check"},       {CmdDocumentation, "&Documentation\tF1"},
      {CmdAbout, "&About"},           {CmdSaveHtml, "&HTML..."},
      {CmdResultsLibrary, "&Results library..."},
  };
  for (const auto& [id, text] : texts) {
    ASSERT_NE(w.dialog.action(id), nullptr) << id;
    EXPECT_EQ(w.dialog.action(id)->text(), text);
  }
  EXPECT_EQ(w.dialog.action(CmdDocumentation)->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(w.dialog.action(CmdExit)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));

  QStringList menus, file;
  for (QAction* a : w.dialog.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Run Test", "&Extra", "&Help"}));
  for (QAction* a : w.dialog.menuBar()->actions()[0]->menu()->actions()) file << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(file, QStringList({"&Load DAT File", "&Results library...", "-", "&Save Results", "Save Status", "-",
                               "&Options", "-", "E&xit\tAlt-F4"}));
  QStringList save;
  for (QAction* a : w.dialog.menuBar()->actions()[0]->menu()->actions()[3]->menu()->actions()) save << a->text();
  EXPECT_EQ(save, QStringList({"&Binary (.DAT File)", "ASCII (.TXT File)", "&HTML..."}));
  // Greyed at start.
  EXPECT_FALSE(w.dialog.action(CmdSaveBinary)->isEnabled());
  EXPECT_FALSE(w.dialog.action(CmdSaveStatus)->isEnabled());
  EXPECT_FALSE(w.dialog.action(CmdSaveHtml)->isEnabled());
  EXPECT_TRUE(w.dialog.action(CmdRunSelected)->isEnabled());
}

TEST(MainDialog, ValueLabelsAreCyanBoldOnBlackAndShowTheDiscPanel) {
  Window w;
  for (int id : {1006, 1007, 1008, 1011, 1012, 1013, 1015, 1016, 1017, 1019, 1020, 1021, 1022, 1023, 1024}) {
    LinkLabel* label = w.dialog.valueLabel(id);
    ASSERT_NE(label, nullptr) << id;
    EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(0, 255, 255)) << id;
    EXPECT_EQ(label->palette().color(label->backgroundRole()), QColor(0, 0, 0)) << id;
    EXPECT_EQ(label->font().weight(), QFont::Bold) << id;
  }
  EXPECT_EQ(w.dialog.valueLabel(1011)->text(), "Audio");
  EXPECT_EQ(w.dialog.valueLabel(1012)->text(), "74:00.00");
  EXPECT_EQ(w.dialog.driveList()->count(), 12);
  EXPECT_EQ(w.dialog.driveList()->currentIndex(), 0);
  EXPECT_EQ(w.dialog.speedLabel()->text(), "Current");
}

TEST(MainDialog, ARunOfTheLibraryIsShownInThePanelsAndTheGraph) {
  Window w;
  w.rig.fastSettings();
  w.rig.app.settings().runDaeQuality = false;
  w.dialog.startButton()->click();
  processUntil([&] { return !w.rig.controller.busy(); });
  const QString average = w.dialog.valueLabel(1006)->text();
  StoredRun run;
  run.summary.id = 12;
  run.summary.utcTime = "2026-12-01T10:00:00Z";
  run.summary.outcome = RunOutcome::Completed;
  run.record = w.rig.app.results().record;
  w.rig.controller.selectDrive(1);
  QCoreApplication::processEvents();
  ASSERT_TRUE(w.dialog.valueLabel(1006)->text().isEmpty());

  w.rig.controller.showStoredRun(run);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.dialog.valueLabel(1006)->text(), average);
  EXPECT_TRUE(w.dialog.action(CmdSaveHtml)->isEnabled());
  EXPECT_TRUE(w.dialog.statusList()->item(w.dialog.statusList()->count() - 1)->text().endsWith(
      "Showing run 12 of the results library (measured 2026-12-01T10:00:00Z)"));
  // The run's curve in the transfer rate's green, zone 1 onwards.
  const QImage image = w.dialog.clientArea()->grab().toImage();
  int green = 0;
  for (int x = kGraphLeft + 10; x < kGraphRight; ++x) {
    for (int y = kGraphTop; y <= kGraphBottom; ++y) green += image.pixelColor(x, y) == QColor(0, 255, 0);
  }
  EXPECT_GT(green, 300);
}

TEST(MainDialog, ARunThroughTheQtEventLoopFillsThePanelsAndTheStatusList) {
  Window w;
  w.rig.fastSettings();
  w.rig.app.settings().runDaeQuality = false;
  w.dialog.startButton()->click();
  EXPECT_EQ(w.dialog.startButton()->text(), "Stop");
  EXPECT_FALSE(w.dialog.driveList()->isEnabled());
  // Nothing pumps the channel but the Qt event loop.
  processUntil([&] { return !w.rig.controller.busy(); });
  EXPECT_EQ(w.dialog.startButton()->text(), "&Start");
  EXPECT_FALSE(w.dialog.valueLabel(1006)->text().isEmpty());
  EXPECT_FALSE(w.dialog.valueLabel(1015)->text().isEmpty());
  EXPECT_EQ(w.dialog.speedLabel()->text(), "Average");
  EXPECT_TRUE(w.dialog.action(CmdSaveBinary)->isEnabled());
  QListWidget* list = w.dialog.statusList();
  ASSERT_EQ(static_cast<size_t>(list->count()), w.rig.controller.statusLines().size());
  EXPECT_TRUE(list->item(list->count() - 1)->text().endsWith("Spin up/down test completed"));
  // The newest line is the top visible line, however many came before it.
  EXPECT_EQ(list->visualItemRect(list->item(list->count() - 1)).top(), 0);
}

TEST(MainDialog, ClosingDuringARunStopsTheWorkerAndShutsDown) {
  Window w;
  w.rig.fastSettings();
  w.dialog.startButton()->click();
  processUntil([&] { return w.rig.controller.statusLines().size() >= 3; });
  w.dialog.close();
  EXPECT_TRUE(w.rig.controller.isShutDown());
  EXPECT_FALSE(w.rig.controller.busy());
  EXPECT_FALSE(w.rig.controller.enabled(CmdRunSelected));
}

TEST(ChannelWaker, ASynchronousNotificationWaitsForTheEventLoop) {
  std::atomic<int> handled{0};
  EventChannel channel([&](int, long) { ++handled; });
  ChannelWaker waker(channel);
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    channel.notify(1, 0);
    // The handler ran before notify returned.
    returned = handled.load() == 1;
    channel.post(0, 50);
  });
  processUntil([&] { return handled.load() == 2; });
  worker.join();
  EXPECT_TRUE(returned);
}

TEST(QtWindowDialogs, FiltersAndBoxTextsAreConverted) {
  EXPECT_EQ(qtNameFilter("DAT files|*.dat||"), "DAT files (*.dat)");
  EXPECT_EQ(qtNameFilter("All Files (*.*)|*.*||"), "All Files (*.*)");
  EXPECT_EQ(qtNameFilter("TXT files|*.txt|DAT files|*.dat||"), "TXT files (*.txt);;DAT files (*.dat)");
  EXPECT_EQ(boxText("Error opening /x\r\n\nAccess denied"), "Error opening /x\n\nAccess denied");
}

}  // namespace
}  // namespace tmx::ui
