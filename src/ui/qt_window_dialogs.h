// The window's dialogs with Qt: message boxes titled "Tachometrix" with the
// critical icon, the yes/no question, the file choosers with their filter,
// default extension, proposed name and overwrite question, and the desktop's
// "open".
#pragma once

#include <QString>
#include <QWidget>

#include "app/window_dialogs.h"

namespace tmx::ui {

// "DAT files|*.dat||" -> "DAT files (*.dat)"; pairs of description and
// pattern, one filter per pair.
QString qtNameFilter(const std::string& filter);
// The program's texts end lines with CR LF (and "\r\n\n" before a cause):
// a Qt box wants plain line feeds.
QString boxText(std::string_view text);

class QtWindowDialogs final : public WindowDialogs {
 public:
  explicit QtWindowDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void messageBox(std::string_view text) override;
  bool askYesNo(std::string_view text) override;
  std::string chooseOpenFile(const FileChoice& choice) override;
  std::string chooseSaveFile(const FileChoice& choice) override;
  bool openWithDesktop(const std::string& path) override;

 private:
  std::string choose(const FileChoice& choice, bool save);
  QWidget* parent_;
};

}  // namespace tmx::ui
