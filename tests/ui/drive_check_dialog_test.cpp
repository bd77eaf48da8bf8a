// The drive check window on an emulated drive: built off the interface
// thread, shown line by line, saved through a scripted save dialog.
#include "ui/drive_check_dialog.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "drive/drive_commands.h"
#include "drive/status_sink.h"
#include "drivecheck/report_lines.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "platform/system_info.h"

namespace tmx::ui {
namespace {

class ScriptedFiles final : public DriveCheckFiles {
 public:
  QString chooseLogFile(QWidget*) override { return answer; }
  void showSaveFailed(QWidget*) override { ++failures; }
  QString answer;
  int failures = 0;
};

struct DialogRig {
  DialogRig()
      : transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          manager->addAdapter(emu::makePresetAdapter(clock));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }
  // Lets the worker's lines arrive; the bound (of wall time: a loaded
  // machine may take a while) only keeps a broken build from hanging the run.
  static void waitUntilBuilt(DriveCheckDialog& dialog) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (dialog.building() && std::chrono::steady_clock::now() < giveUp) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  VirtualClock clock;
  AspiTransport transport;
  DriveCommands commands;
  SystemInfo system;
  size_t widest = 0;
  ScriptedFiles files;
  RecordingStatusSink status;
};

QPushButton* button(QWidget& parent, const QString& text) {
  for (auto* b : parent.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

TEST(DriveCheckDialog, BuildsTheReportOffTheInterfaceThreadAndSavesIt) {
  DialogRig rig;
  DriveCheckDialog dialog(rig.commands, DriveAddress{0, 3}, rig.system, rig.widest, rig.files, &rig.status);
  EXPECT_EQ(dialog.windowTitle(), "Tachometrix: Drive Check");
  ASSERT_TRUE(button(dialog, "&Save") && button(dialog, "&Refresh") && button(dialog, "E&xit"));
  auto* list = dialog.findChild<QListWidget*>();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::NoSelection);

  dialog.show();
  EXPECT_TRUE(dialog.building()) << "opening starts the build";
  if (const char* out = std::getenv("TMX_GRAB_DIR")) dialog.grab().save(QString(out) + "/drive_check_dialog_busy.png");
  EXPECT_FALSE(button(dialog, "&Save")->isEnabled());
  DialogRig::waitUntilBuilt(dialog);
  ASSERT_FALSE(dialog.building());
  EXPECT_TRUE(button(dialog, "&Save")->isEnabled());
  ASSERT_EQ(list->count(), static_cast<int>(dialog.lines().size()));
  ASSERT_GT(list->count(), 40);
  EXPECT_EQ(list->item(1)->text(), "General information");
  EXPECT_EQ(list->item(list->count() - 1)->text(), "ok");
  const size_t widest = rig.widest;
  EXPECT_GT(widest, 0u);

  // Save: cancelled, written, and failed with its message and status line.
  std::string pattern = (std::filesystem::temp_directory_path() / "tmx-dialog-XXXXXX").string();
  ASSERT_TRUE(::mkdtemp(pattern.data()));
  const std::filesystem::path dir(pattern);
  dialog.save();
  rig.files.answer = QString::fromStdString((dir / "DriveCheck.txt").string());
  dialog.save();
  std::ifstream in(dir / "DriveCheck.txt");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, std::string(widest, '-'));
  EXPECT_EQ(rig.files.failures, 0);
  rig.files.answer = QString::fromStdString((dir / "missing" / "DriveCheck.txt").string());
  dialog.save();
  EXPECT_EQ(rig.files.failures, 1);
  ASSERT_EQ(rig.status.lines.size(), 1u);
  EXPECT_EQ(rig.status.lines[0].rfind("Unable to creating log file", 0), 0u);
  std::filesystem::remove_all(dir);

  // Refresh rebuilds from nothing; the widest line stays.
  dialog.refresh();
  DialogRig::waitUntilBuilt(dialog);
  EXPECT_EQ(list->count(), static_cast<int>(dialog.lines().size()));
  EXPECT_EQ(rig.widest, widest);

  // A grab for a person to look at, when asked for.
  if (const char* out = std::getenv("TMX_GRAB_DIR")) dialog.grab().save(QString(out) + "/drive_check_dialog.png");
}

// The colons line up on screen: the list shows what Save writes, in a font
// whose every character is as wide as the next.
TEST(DriveCheckDialog, ShowsTheSavedLogsLinesWithTheirColonsInOneColumn) {
  DialogRig rig;
  rig.widest = 90;  // an earlier report's, wider than any line of this one
  DriveCheckDialog dialog(rig.commands, DriveAddress{0, 3}, rig.system, rig.widest, rig.files);
  dialog.show();
  DialogRig::waitUntilBuilt(dialog);
  auto* list = dialog.findChild<QListWidget*>();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(QFontInfo(list->font()).fixedPitch()) << list->font().family().toStdString();

  std::string pattern = (std::filesystem::temp_directory_path() / "tmx-dialog-XXXXXX").string();
  ASSERT_TRUE(::mkdtemp(pattern.data()));
  const std::filesystem::path dir(pattern);
  rig.files.answer = QString::fromStdString((dir / "DriveCheck.txt").string());
  dialog.save();
  std::ifstream in(dir / "DriveCheck.txt");
  std::vector<QString> saved;
  for (std::string line; std::getline(in, line);) saved.push_back(QString::fromStdString(line));
  std::filesystem::remove_all(dir);
  ASSERT_EQ(saved.size(), static_cast<size_t>(list->count()));

  const QFontMetrics metrics(list->font());
  std::set<int> colonPixels;
  int aligned = 0;
  for (int i = 0; i < list->count(); ++i) {
    const QString shown = list->item(i)->text();
    EXPECT_EQ(shown, saved[static_cast<size_t>(i)]) << "line " << i;
    const qsizetype colon = shown.indexOf(':');
    if (colon < 0) continue;
    colonPixels.insert(metrics.horizontalAdvance(shown.left(colon)));
    ++aligned;
  }
  EXPECT_GT(aligned, 25);
  EXPECT_EQ(colonPixels.size(), 1u) << "every colon starts at the same pixel";
  EXPECT_EQ(list->item(0)->text(), QString(static_cast<qsizetype>(rig.widest), '-'))
      << "separators as wide as the widest line, an earlier report's too";
}

TEST(DriveCheckDialog, ExitDuringTheBuildStopsItAndCloses) {
  DialogRig rig;
  DriveCheckDialog dialog(rig.commands, DriveAddress{0, 0}, rig.system, rig.widest, rig.files);
  dialog.show();
  ASSERT_TRUE(dialog.building());
  button(dialog, "E&xit")->click();
  EXPECT_TRUE(dialog.isVisible()) << "stays until the command in flight returns";
  DialogRig::waitUntilBuilt(dialog);
  QApplication::processEvents();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace tmx::ui
