// F1 opens a manual through the desktop: a copy in the working directory
// first, else (in the build tree) the source tree's.
#include "ui/manual_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <fstream>

#include <gtest/gtest.h>

#include "app/manual_location.h"
#include "results/scratch_dir.h"
#include "tmx_source_paths.h"

namespace tmx::ui {
namespace {

class OpenedFiles : public QObject {
  Q_OBJECT
 public:
  OpenedFiles() { QDesktopServices::setUrlHandler("file", this, "open"); }
  ~OpenedFiles() override { QDesktopServices::unsetUrlHandler("file"); }
  QStringList opened;
 public slots:
  void open(const QUrl& url) { opened.append(url.toLocalFile()); }
};

class NoPrompts final : public DialogPrompts {
 public:
  void showError(QWidget*, const QString& text) override { errors.append(text); }
  std::optional<QColor> chooseColour(QWidget*, const QColor&) override { return std::nullopt; }
  QStringList errors;
};

TEST(ManualOpener, OpensTheWorkingDirectoryCopyElseTheSourceTrees) {
  OpenedFiles files;
  NoPrompts prompts;
  testing::ScratchDir scratch;
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(scratch.path().string())));

  EXPECT_TRUE(openManual(prompts, nullptr));
  std::ofstream(scratch / kManualFileName) << "<html></html>";
  EXPECT_TRUE(openManual(prompts, nullptr));
  QDir::setCurrent(before);

  ASSERT_EQ(files.opened.size(), 2);
  const QString source = QStringLiteral(TMX_SOURCE_DOCS_DIR) + "/" + kManualFileName;
  // An installed copy on this machine would come before the source tree's.
  EXPECT_TRUE(files.opened[0] == source || files.opened[0].startsWith("/usr/share/doc/")) << files.opened[0].toStdString();
  EXPECT_EQ(files.opened[1].toStdString(), (scratch / kManualFileName).string());
  EXPECT_TRUE(prompts.errors.isEmpty());
}

}  // namespace
}  // namespace tmx::ui

#include "manual_opener_test.moc"
