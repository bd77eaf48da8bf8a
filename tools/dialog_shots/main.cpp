// Saves pictures of the dialogs for the manual: each one shown on the first
// emulated drive and grabbed to a PNG in the directory given.
//   tmx-dialog-shots OUTDIR
#include <QApplication>
#include <QDir>
#include <QPixmap>
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
  return ok ? 0 : 1;
}
