// The About box: the program's name and version, and three links that open
// with the desktop (two web pages and an e-mail address).
#pragma once

#include <QDialog>

namespace tmx::ui {

// The project's addresses; example.org until the project has a home.
inline constexpr const char* kWebsiteAddress = "https://tachometrix.example.org/";
inline constexpr const char* kResultsAddress = "https://tachometrix.example.org/results/";
inline constexpr const char* kMailAddress = "tachometrix@example.org";

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

// The title line, "Tachometrix Version 0.6 Beta", and the line below it that
// names this build's own version, "Build x.y.z".
QString aboutTitle();
QString aboutBuildLine();

}  // namespace tmx::ui
