// The status list: each new line is scrolled to the top of the list, so the
// newest line reads first and the older ones are a scroll away. A stock list
// stops scrolling once its last line is at the bottom; this one lets the
// scroll range run on until the last line can be the top one.
#pragma once

#include <QListWidget>

namespace tmx::ui {

class StatusList : public QListWidget {
  Q_OBJECT

 public:
  explicit StatusList(QWidget* parent = nullptr);

  // Appends the line and makes it the top visible line.
  void addLine(const QString& line);

 protected:
  void updateGeometries() override;

 private:
  int topLine_ = 0;
  bool relayout_ = false;
};

}  // namespace tmx::ui
