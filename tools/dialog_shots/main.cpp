// Saves pictures of the dialogs for the manual: each one shown on the first
// emulated drive and grabbed to a PNG in the directory given.
//   tmx-dialog-shots OUTDIR
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPixmap>
#include <QTreeWidget>
#include <cstdio>

#include "drive/drive_commands.h"
#include "drive/drive_discovery.h"
#include "emulator/presets.h"
#include "platform/clock.h"
#include "platform/scsi_manager.h"
#include "ui/about_dialog.h"
#include "ui/app_icon.h"
#include "platform/system_info.h"
#include "results/settings_store.h"
#include "ui/dialog_prompts.h"
#include "ui/drive_check_dialog.h"
#include "ui/options_dialog.h"
#include "ui/compare_dialog.h"
#include "ui/qt_window_dialogs.h"
#include "ui/results_library_dialog.h"

namespace {

bool save(QWidget& w, const QDir& dir, const char* name) {
  w.show();
  QApplication::processEvents();
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!w.grab().save(path)) {
    std::fprintf(stderr, "tmx-dialog-shots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// The results library's list and Compare with the library's three newest
// runs (the script records them first); nothing without three runs.
bool saveLibraryShots(const QDir& dir, tmx::Clock& clock) {
  tmx::LibraryAccess access;
  tmx::ui::QtWindowDialogs dialogs;
  tmx::ui::ResultsLibraryDialog library(access, dialogs, {}, clock);
  QTreeWidget* list = library.list();
  if (list->topLevelItemCount() < 3) {
    std::fprintf(stderr, "tmx-dialog-shots: fewer than three runs in the library: no library pictures\n");
    return true;
  }
  for (int row = 0; row < 3; ++row) list->topLevelItem(row)->setSelected(true);
  library.resize(1000, 360);
  bool ok = save(library, dir, "results-library.png");
  auto runs = library.model().compared(library.selectedIds());
  if (!runs) return false;
  tmx::ui::CompareDialog compare(std::move(*runs.value), dialogs);
  compare.resize(840, 900);
  compare.show();
  QApplication::processEvents();
  // The readout a third of the way into the plot.
  tmx::ui::CompareCanvas* canvas = compare.canvas();
  const tmx::CompareAxes axes = compare.model().graph(canvas->width(), canvas->height()).axes;
  const QPointF at(axes.left + (axes.right - axes.left) / 3, (axes.top + axes.bottom) / 2);
  QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(canvas, &move);
  return save(compare, dir, "compare.png") && ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tmx-dialog-shots OUTDIR\n");
    return 2;
  }
  QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(".")) return 1;
  QApplication::setWindowIcon(tmx::ui::applicationIcon());

  tmx::VirtualClock clock(10'000);
  tmx::AspiTransport transport([&clock] {
    auto manager = std::make_unique<tmx::ScsiManager>();
    manager->addAdapter(tmx::emu::makePresetAdapter(clock));
    return manager;
  });
  tmx::DriveCommands commands(transport);
  tmx::DriveTable table;
  std::optional<tmx::DriveAddress> drive;
  if (transport.LoadAspiManager() > 0) {
    tmx::scanDrives(commands, table);
    if (table.count > 0) drive = table.selectedDrive();
  }

  tmx::ui::DesktopPrompts prompts;
  // A new user's options: no settings file, so the graph scale is automatic.
  tmx::AppSettings settings = tmx::loadSettings(std::nullopt);
  settings.testLength = 3;
  tmx::OptionsModel model(settings, &commands, drive);
  tmx::ui::OptionsDialog options(model, prompts);
  bool ok = save(options, dir, "options.png");
  tmx::ui::AboutDialog about;
  ok = save(about, dir, "about.png") && ok;
  if (drive) {
    // The report of the first emulated drive, once its lines are all in.
    const tmx::SystemInfo system;
    size_t widest = 0;
    tmx::ui::QtDriveCheckFiles files;
    tmx::ui::DriveCheckDialog check(commands, *drive, system, widest, files);
    check.show();
    for (int i = 0; i < 20000 && check.building(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
    ok = save(check, dir, "drive-check.png") && ok;
  }
  ok = saveLibraryShots(dir, clock) && ok;
  return ok ? 0 : 1;
}
