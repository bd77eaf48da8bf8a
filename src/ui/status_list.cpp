#include "ui/status_list.h"

#include <QScrollBar>
#include <algorithm>

namespace tmx::ui {

StatusList::StatusList(QWidget* parent) : QListWidget(parent) {
  setUniformItemSizes(true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!relayout_) topLine_ = value;
  });
}

void StatusList::addLine(const QString& line) {
  addItem(line);
  topLine_ = count() - 1;
  updateGeometries();
}

void StatusList::updateGeometries() {
  // The base class clamps the scroll value to its own range (last line at the
  // bottom); the line the user or addLine put on top is put back afterwards.
  relayout_ = true;
  QListWidget::updateGeometries();
  if (count() > 0) {
    verticalScrollBar()->setRange(0, count() - 1);  // one step per line
    verticalScrollBar()->setValue(std::min(topLine_, count() - 1));
  }
  relayout_ = false;
}

}  // namespace tmx::ui
