#include "ui/link_label.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include "ui/colour_word.h"

namespace tmx::ui {

LinkLabel::LinkLabel(QWidget* parent) : LinkLabel(QString(), parent) {}

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), textColour_(wordFromColour(palette().color(QPalette::WindowText))) {}

void LinkLabel::setTextColor(uint32_t colour) {
  textColour_ = colour;
  applyPalette();
  update();
}

void LinkLabel::setBackgroundColor(uint32_t colour) {
  backgroundColour_ = colour;
  applyPalette();
}

void LinkLabel::setBold(bool on) {
  QFont f = font();
  f.setWeight(on ? QFont::Bold : QFont::Normal);
  setFont(f);
  update();
}

void LinkLabel::setUnderline(bool on) {
  QFont f = font();
  f.setUnderline(on);
  setFont(f);
  update();
}

void LinkLabel::setNotify(bool on) { notify_ = on; }

void LinkLabel::setLinkCursor(std::optional<Qt::CursorShape> cursor) {
  if (cursor) {
    setCursor(*cursor);
  } else {
    unsetCursor();
  }
}

QString LinkLabel::linkTarget() const { return mailAddress_ ? QStringLiteral("mailto:") + text() : text(); }

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (notify_ && event->button() == Qt::LeftButton) QDesktopServices::openUrl(QUrl(linkTarget()));
  QLabel::mousePressEvent(event);
}

void LinkLabel::applyPalette() {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, colourFromWord(textColour_));
  if (backgroundColour_) {
    p.setColor(QPalette::Window, colourFromWord(*backgroundColour_));
    setAutoFillBackground(true);
  }
  setPalette(p);
}

}  // namespace tmx::ui
