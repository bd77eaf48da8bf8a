// tachometrix: the desktop program.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "program/application.h"
#include "program/run_recorder.h"
#include "app/main_window_controller.h"
#include "app/library_access.h"
#include "app/manual_location.h"
#include "app/ripping_history.h"
#include "app/window_arguments.h"
#include "platform/system_info.h"
#include "tmx_source_paths.h"
#include "tmx_version.h"
#include "ui/about_dialog.h"
#include "ui/app_icon.h"
#include "ui/dialog_prompts.h"
#include "ui/drive_check_dialog.h"
#include "ui/ripping_dialog.h"
#include "ui/main_dialog.h"
#include "ui/options_dialog.h"
#include "ui/qt_window_dialogs.h"
#include "ui/results_library_dialog.h"

namespace {

constexpr const char* kVersion = TMX_VERSION;

// The current folder, the installed doc folder beside the program, the
// system's, then the source tree's docs/ for a program run from its build.
std::vector<std::string> manualPaths() {
  return tmx::manualCandidates(QDir::currentPath().toStdString(),
                               QCoreApplication::applicationDirPath().toStdString(), TMX_SOURCE_DOCS_DIR);
}

// While the toolkit starts: its messages go to stderr as they would, and the
// fatal one it gives when no display can be opened (none set, or one that
// does not answer) ends the program with a line of ours and status 1 instead
// of an abort.
void startupMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  std::fprintf(stderr, "%s\n", qPrintable(text));
  if (type != QtFatalMsg) return;
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  std::fprintf(stderr,
               "tachometrix: no display could be opened (DISPLAY=%s, WAYLAND_DISPLAY=%s).\n"
               "tachometrix-cli runs the same tests without a window.\n",
               display ? display : "", wayland ? wayland : "");
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  // --help and --version answer without a display.
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(tmx::windowUsageText().c_str(), stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("tachometrix %s\n", kVersion);
      return 0;
    }
  }
  qInstallMessageHandler(startupMessage);
  QApplication qtApp(argc, argv);  // takes the toolkit's own options out of argv
  qInstallMessageHandler(nullptr);
  QApplication::setApplicationName("Tachometrix");
  QApplication::setApplicationVersion(kVersion);
  std::vector<std::string> args;
  for (const QString& arg : QCoreApplication::arguments().mid(1)) args.push_back(arg.toStdString());
  const tmx::WindowArguments parsed = tmx::parseWindowArguments(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "tachometrix: %s\nTry 'tachometrix --help'.\n", parsed.error.c_str());
    return 2;
  }
  if (parsed.help) {
    std::fputs(tmx::windowUsageText().c_str(), stdout);
    return 0;
  }
  if (parsed.version) {
    std::printf("tachometrix %s\n", kVersion);
    return 0;
  }

  tmx::StartOptions start = parsed.start;
  // Every run is kept in the results library of the user's data folder.
  start.libraryPath = tmx::libraryPathOf(std::nullopt, false, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  tmx::Application app(start);
  tmx::ui::QtWindowDialogs dialogs;
  tmx::MainWindowController controller(app, dialogs);
  controller.hooks.documentationPaths = manualPaths();
  tmx::ui::MainDialog window(controller);
  window.setWindowIcon(tmx::ui::applicationIcon());
  dialogs.setParent(&window);

  tmx::ui::DesktopPrompts prompts;
  controller.hooks.options = [&] {
    const bool drive = app.hasDrive() && app.transport().loaded();
    return tmx::ui::runOptionsDialog(app.settings(), drive ? &app.commands() : nullptr,
                                     drive ? std::optional(app.drives().selectedDrive()) : std::nullopt, prompts,
                                     &window, app.probe().medium());
  };
  controller.hooks.about = [&] { tmx::ui::AboutDialog(&window).exec(); };
  // The report's separator width is kept across the program's drive checks.
  const tmx::SystemInfo systemInfo;
  size_t widestLineLength = 0;
  tmx::ui::QtDriveCheckFiles driveCheckFiles;
  controller.hooks.driveCheck = [&](tmx::DriveAddress drive) {
    tmx::ui::DriveCheckDialog dialog(app.commands(), drive, systemInfo, widestLineLength, driveCheckFiles, &controller,
                                     &window);
    dialog.exec();
    controller.noteDriveCheck(drive, dialog.lines());
  };
  // Opened at the dialog's first use: the window's start-up never waits for it.
  tmx::LibraryAccess library(app.recorder().path().value_or(std::filesystem::path()));
  library.beforeSetAside = [&] { app.recorder().close(); };
  controller.hooks.rippingFeatures = [&](tmx::DriveAddress drive) {
    const tmx::DiscPanel panel = app.probe().refreshDiscPanel(drive);
    tmx::RippingCheckModel model(app.commands(), drive, app.clock(),
                                 tmx::rippingStartOf(panel, app.probe().medium().kind, app.probe().storedLength()),
                                 &controller);
    const tmx::DriveFacts facts = app.driveFacts(drive, drive);
    tmx::RippingHistory history(library, tmx::rippingDriveName(facts));
    tmx::ui::RippingDialog dialog(model, facts, panel.typeText, panel.lengthText, app.clock(), dialogs, &history,
                                  &window);
    dialog.exec();
    if (model.finished()) controller.noteRippingCheck(drive, *model.finished(), model.finishedStopped());
  };
  controller.hooks.resultsLibrary = [&] {
    tmx::ui::ResultsLibraryDialog dialog(
        library, dialogs, [&](const tmx::StoredRun& run) { controller.showStoredRun(run); }, app.clock(), &window);
    dialog.exec();
  };
  controller.startUp();
  window.show();
  return qtApp.exec();
}
