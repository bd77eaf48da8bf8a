#include "ui/manual_opener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include "app/manual_location.h"
#include "tmx_source_paths.h"

namespace tmx::ui {

bool openManual(DialogPrompts& prompts, QWidget* parent) {
  const std::string current = QDir::currentPath().toStdString();
  const std::string program = QCoreApplication::applicationDirPath().toStdString();
  if (const auto path = locateManual(current, program, TMX_SOURCE_DOCS_DIR)) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*path)));
  }
  QString tried;
  for (const std::string& p : manualCandidates(current, program, TMX_SOURCE_DOCS_DIR)) {
    tried += QStringLiteral("\n") + QString::fromStdString(p);
  }
  prompts.showError(parent, QStringLiteral("The manual was not found. Looked for:") + tried);
  return false;
}

}  // namespace tmx::ui
