#include "ui/qt_window_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace tmx::ui {

QString qtNameFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString description = parts[i];
    // A description that already names its pattern keeps it once.
    if (!description.contains('(')) description += " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    filters << description;
  }
  return filters.join(";;");
}

QString boxText(std::string_view text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace("\r\n", "\n");
  return shown;
}

void QtWindowDialogs::messageBox(std::string_view text) {
  QMessageBox box(QMessageBox::Critical, "Tachometrix", boxText(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtWindowDialogs::askYesNo(std::string_view text) {
  QMessageBox box(QMessageBox::Question, "Tachometrix", boxText(text), QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}

std::string QtWindowDialogs::choose(const FileChoice& choice, bool save) {
  QFileDialog dialog(parent_);
  dialog.setWindowTitle(save ? "Save As" : "Open");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter(qtNameFilter(choice.filter));
  dialog.setDefaultSuffix(QString::fromStdString(choice.defaultExtension));
  // The save dialog asks before replacing a file: the default, kept explicit.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (!choice.proposedName.empty()) dialog.selectFile(QString::fromStdString(choice.proposedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::string QtWindowDialogs::chooseOpenFile(const FileChoice& choice) { return choose(choice, false); }
std::string QtWindowDialogs::chooseSaveFile(const FileChoice& choice) { return choose(choice, true); }

bool QtWindowDialogs::openWithDesktop(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace tmx::ui
