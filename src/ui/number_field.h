// A number field with up-down arrows whose text is the user's: any text may
// be typed and stays as typed (a stock spin box would rewrite an unfinished
// entry back to its last value). The arrows and the arrow keys step the
// number within the range; the owner reads the text and decides what it means.
#pragma once

#include <QAbstractSpinBox>

namespace tmx::ui {

class NumberField : public QAbstractSpinBox {
  Q_OBJECT

 public:
  NumberField(int minimum, int maximum, QWidget* parent = nullptr);

  void setText(const QString& text);
  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  // The number the arrows start from: the field's when it holds one, else the
  // last number the arrows or the owner put there.
  int position() const;

  int minimum_;
  int maximum_;
  int lastNumber_;
};

}  // namespace tmx::ui
