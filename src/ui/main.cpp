// tachometrix: the desktop program.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window_controller.h"
#include "app/window_arguments.h"
#include "ui/main_dialog.h"
#include "ui/qt_window_dialogs.h"

#ifndef TMX_DOC_DIR
#define TMX_DOC_DIR "/usr/share/doc/tachometrix"
#endif

namespace {

constexpr const char* kVersion = "0.1.0";
constexpr const char* kManual = "tachometrixdoc.htm";

// The installed doc folder, the program's folder, the current folder.
std::vector<std::string> manualPaths() {
  return {QDir(TMX_DOC_DIR).filePath(kManual).toStdString(),
          QDir(QCoreApplication::applicationDirPath()).filePath(kManual).toStdString(),
          QDir::current().filePath(kManual).toStdString()};
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);  // takes the toolkit's own options out of argv
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

  tmx::Application app(parsed.start);
  tmx::ui::QtWindowDialogs dialogs;
  tmx::MainWindowController controller(app, dialogs);
  controller.hooks.documentationPaths = manualPaths();
  tmx::ui::MainDialog window(controller);
  dialogs.setParent(&window);
  controller.startUp();
  window.show();
  return qtApp.exec();
}
