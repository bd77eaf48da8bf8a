#include "ui/dialog_prompts.h"

#include <QColorDialog>
#include <QMessageBox>

namespace tmx::ui {

void DesktopPrompts::showError(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tachometrix"), text, QMessageBox::Ok, parent);
  box.exec();
}

std::optional<QColor> DesktopPrompts::chooseColour(QWidget* parent, const QColor& initial) {
  const QColor chosen = QColorDialog::getColor(initial, parent);
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

}  // namespace tmx::ui
