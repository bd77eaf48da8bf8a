#include "ui/number_field.h"

#include <QLineEdit>
#include <algorithm>

#include "app/options_model.h"

namespace tmx::ui {

NumberField::NumberField(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum), lastNumber_(minimum) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setAccelerated(true);
  // Room for the widest number of the range and a little more.
  setMinimumWidth(fontMetrics().horizontalAdvance(QString::number(maximum) + "00") + 24);
}

void NumberField::setText(const QString& text) {
  lineEdit()->setText(text);
  if (const auto n = parseUnsignedField(text.toStdString())) {
    lastNumber_ = static_cast<int>(std::min<uint32_t>(*n, static_cast<uint32_t>(maximum_)));
  }
}

int NumberField::position() const {
  const auto n = parseUnsignedField(lineEdit()->text().toStdString());
  if (!n) return lastNumber_;
  return static_cast<int>(std::clamp<uint32_t>(*n, static_cast<uint32_t>(minimum_), static_cast<uint32_t>(maximum_)));
}

void NumberField::stepBy(int steps) {
  const int next = std::clamp(position() + steps, minimum_, maximum_);
  lastNumber_ = next;
  lineEdit()->setText(QString::number(next));
  lineEdit()->selectAll();
}

QValidator::State NumberField::validate(QString&, int&) const { return QValidator::Acceptable; }

void NumberField::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled NumberField::stepEnabled() const {
  const int p = position();
  StepEnabled e = StepNone;
  if (p < maximum_) e |= StepUpEnabled;
  if (p > minimum_) e |= StepDownEnabled;
  return e;
}

}  // namespace tmx::ui
