#include "ui/link_label.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include "ui/colour_word.h"

namespace tmx::ui {

LinkLabel::LinkLabel(QWidget* parent) : LinkLabel(QString(), parent) {}

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      textColour_(wordFromColour(palette().color(QPalette::WindowText))),
      backgroundColour_(wordFromColour(palette().color(QPalette::Button))),
      description_(font()) {
  // The background is always the label's own colour, not the parent's.
  setAutoFillBackground(true);
  applyColours();
}

void LinkLabel::setTextColor(uint32_t colour) {
  textColour_ = colour;
  applyColours();
  repaint();
}

void LinkLabel::setBackgroundColor(uint32_t colour) {
  backgroundColour_ = colour;
  applyColours();
}

void LinkLabel::setBold(bool on) {
  description_.setWeight(on ? QFont::Bold : QFont::Normal);
  rebuildFont();
}

void LinkLabel::setUnderline(bool on) {
  description_.setUnderline(on);
  rebuildFont();
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

void LinkLabel::applyColours() {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, colourFromWord(textColour_));
  p.setColor(QPalette::Window, colourFromWord(backgroundColour_));
  setPalette(p);
}

void LinkLabel::rebuildFont() {
  setFont(description_);
  repaint();
}

}  // namespace tmx::ui
