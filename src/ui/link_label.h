// The coloured label of the window and its dialogs: text colour, background,
// bold and underline, and optionally a link that opens with the desktop when
// clicked. Without setNotify(true) a click opens nothing.
//
// It starts as window text on the button face in the default GUI font. Each
// change of the font rebuilds it from the label's font description and
// repaints at once; a new text colour repaints too, a new background shows at
// the next repaint.
#pragma once

#include <QFont>
#include <QLabel>
#include <cstdint>
#include <optional>

namespace tmx::ui {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(QWidget* parent = nullptr);
  LinkLabel(const QString& text, QWidget* parent = nullptr);

  // Colours are words 0x00BBGGRR.
  void setTextColor(uint32_t colour);
  void setBackgroundColor(uint32_t colour);
  void setBold(bool on);
  void setUnderline(bool on);
  // Whether clicks reach the label (and open its target).
  void setNotify(bool on);
  // The cursor shown over the label; nullopt restores the default.
  void setLinkCursor(std::optional<Qt::CursorShape> cursor);
  // The text is an e-mail address: a click opens "mailto:" + text.
  void setMailAddress(bool on) { mailAddress_ = on; }

  uint32_t textColor() const { return textColour_; }
  uint32_t backgroundColor() const { return backgroundColour_; }
  bool notifies() const { return notify_; }
  // What a click opens: "mailto:" + text for an e-mail address, else the text.
  QString linkTarget() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void applyColours();
  void rebuildFont();

  uint32_t textColour_;
  uint32_t backgroundColour_;
  QFont description_;
  bool notify_ = false;
  bool mailAddress_ = false;
};

}  // namespace tmx::ui
