// The modal questions a dialog asks the user, behind an interface so tests
// can answer them without a person: an error message and the colour chooser.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace tmx::ui {

class DialogPrompts {
 public:
  virtual ~DialogPrompts() = default;
  // A message box titled "Tachometrix" with the stop icon and an OK button.
  virtual void showError(QWidget* parent, const QString& text) = 0;
  // The colour chooser opened on `initial`; nothing when the user cancels.
  virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
};

// The real boxes.
class DesktopPrompts final : public DialogPrompts {
 public:
  void showError(QWidget* parent, const QString& text) override;
  std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
};

}  // namespace tmx::ui
