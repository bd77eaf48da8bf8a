// The options dialog offscreen on a scripted drive: bound controls, the read
// speed list, the number fields, Apply's refusal, colours, and leaving
// without Apply.
#include "ui/options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "support/speed_drive.h"
#include "ui/colour_word.h"
#include "ui/link_label.h"
#include "ui/number_field.h"

namespace tmx::ui {
namespace {

class ScriptedPrompts final : public DialogPrompts {
 public:
  void showError(QWidget*, const QString& text) override { errors.append(text); }
  std::optional<QColor> chooseColour(QWidget*, const QColor& initial) override {
    chooserOpenedOn.append(initial);
    return colourAnswer;
  }
  QStringList errors;
  QList<QColor> chooserOpenedOn;
  std::optional<QColor> colourAnswer;
};

class OptionsDialogTest : public ::testing::Test, public testing::SpeedDrive {
 protected:
  template <class W>
  W* child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static QLineEdit* edit(NumberField* field) { return field->findChild<QLineEdit*>(); }

  ScriptedPrompts prompts;
};

TEST_F(OptionsDialogTest, ControlsShowTheCopyAndWriteItBack) {
  AppSettings settings;
  settings.testLength = 3;
  settings.showRpm = false;
  settings.runBurstRate = false;
  OptionsModel model(settings, &commands, drive);
  OptionsDialog dialog(model, prompts);
  EXPECT_EQ(dialog.windowTitle(), "Tachometrix Options");
  EXPECT_EQ(child<QComboBox>(dialog, "testLength")->currentText(), "1:3");
  EXPECT_EQ(child<QComboBox>(dialog, "readSpeed")->currentText(), "default");
  EXPECT_EQ(child<LinkLabel>(dialog, "maximumSpeed")->text(), "32 X");
  EXPECT_EQ(child<LinkLabel>(dialog, "currentSpeed")->text(), "4 X");
  EXPECT_EQ(child<NumberField>(dialog, "graphMaxSpeed")->text(), "50");
  EXPECT_EQ(child<NumberField>(dialog, "burstLength")->text(), "32");
  EXPECT_FALSE(child<QCheckBox>(dialog, "showRpm")->isChecked());
  EXPECT_TRUE(speedCommands().empty());

  child<QComboBox>(dialog, "testLength")->setCurrentIndex(5);
  child<QCheckBox>(dialog, "showRpm")->setChecked(true);
  child<QCheckBox>(dialog, "runBurstRate")->setChecked(true);
  child<QCheckBox>(dialog, "runSeekTimes")->setChecked(false);
  EXPECT_EQ(model.values().testLength, 6);
  EXPECT_TRUE(model.values().showRpm);
  EXPECT_TRUE(model.values().runBurstRate);
  EXPECT_FALSE(model.values().runSeekTimes);
  EXPECT_TRUE(model.values().runDaeQuality) << "the boxes are independent";
  // The automatic scale stands beside the fixed one, which it greys out.
  auto* automatic = child<QCheckBox>(dialog, "graphAutoScale");
  EXPECT_FALSE(automatic->isChecked());
  EXPECT_TRUE(child<NumberField>(dialog, "graphMaxSpeed")->isEnabled());
  automatic->setChecked(true);
  EXPECT_TRUE(model.values().graphAutoScale);
  EXPECT_FALSE(child<NumberField>(dialog, "graphMaxSpeed")->isEnabled());
  EXPECT_TRUE(child<QComboBox>(dialog, "readSpeed")->isEnabled());

  // Without a drive there is no speed to set or show.
  OptionsModel noDrive(settings, nullptr, std::nullopt);
  OptionsDialog driveless(noDrive, prompts);
  EXPECT_FALSE(child<QComboBox>(driveless, "readSpeed")->isEnabled());
  EXPECT_EQ(child<LinkLabel>(driveless, "currentSpeed")->text(), "N/A");
}

TEST_F(OptionsDialogTest, ReadSpeedChoiceActsAtOnceAndPutsTypedNumbersBack) {
  OptionsModel model(AppSettings{}, &commands, drive);
  OptionsDialog dialog(model, prompts);
  auto* burst = child<NumberField>(dialog, "burstLength");
  edit(burst)->setText("64");
  child<QComboBox>(dialog, "readSpeed")->setCurrentIndex(1);  // "maximum"
  ASSERT_EQ(speedCommands().size(), 1u);
  EXPECT_EQ(speedCommands()[0][2], 0xFF);
  EXPECT_EQ(speedCommands()[0][3], 0xFF);
  EXPECT_EQ(child<LinkLabel>(dialog, "currentSpeed")->text(), "32 X");
  EXPECT_EQ(burst->text(), "32") << "the number the dialog opened with";
}

void type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

TEST_F(OptionsDialogTest, NumberFieldsKeepAnyTextAndStepWithinTheirRange) {
  QWidget window;
  auto* field = new NumberField(10, 100, &window);
  auto* other = new QLineEdit(&window);
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  field->setText("50");
  field->setFocus();
  edit(field)->selectAll();
  type(field, "5");
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(field->text(), "5") << "a typed number stays as typed, also when the focus leaves";
  field->setFocus();
  edit(field)->selectAll();
  type(field, "x1");
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(field->text(), "x1");
}

TEST_F(OptionsDialogTest, NumberFieldArrowsStepWithinTheRange) {
  NumberField field(10, 100);
  edit(&field)->setText("5");
  field.stepBy(1);
  EXPECT_EQ(field.text(), "11") << "stepping starts inside the range";
  field.setText("100");
  field.stepBy(3);
  EXPECT_EQ(field.text(), "100");
  edit(&field)->setText("abc");
  field.stepBy(-1);
  EXPECT_EQ(field.text(), "99") << "after text the arrows go on from the last number";
}

TEST_F(OptionsDialogTest, ApplyRefusesTextAndKeepsTheFocusInTheField) {
  OptionsModel model(AppSettings{}, &commands, drive);
  OptionsDialog dialog(model, prompts);
  int applied = 0;
  QObject::connect(&dialog, &OptionsDialog::applied, [&](const AppSettings&) { ++applied; });
  dialog.show();
  auto* burst = child<NumberField>(dialog, "burstLength");
  auto* speed = child<NumberField>(dialog, "graphMaxSpeed");
  edit(burst)->setText("12a");
  child<QPushButton>(dialog, "apply")->click();
  EXPECT_EQ(prompts.errors, QStringList{"Please enter a positive integer."});
  EXPECT_TRUE(dialog.isVisible());
  QWidget* focus = dialog.focusWidget();
  EXPECT_TRUE(focus == burst || burst->isAncestorOf(focus));
  EXPECT_EQ(applied, 0);

  edit(burst)->setText("500");
  edit(speed)->setText("5");
  child<QPushButton>(dialog, "apply")->click();
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(model.values().burstLengthKB, 384);
  EXPECT_EQ(model.values().graphMaxSpeed, 10);
}

// Runs the modal dialog and acts on it from inside its event loop.
bool runWith(AppSettings& settings, testing::SpeedDrive& d, DialogPrompts& prompts,
             std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    act(*dialog);
    if (dialog->isVisible()) dialog->reject();  // never leave a test hanging
  });
  return runOptionsDialog(settings, &d.commands, d.drive, prompts, nullptr);
}

TEST_F(OptionsDialogTest, ColourChooserStartsOnBlackAndOnlyApplyCopiesBack) {
  AppSettings settings;
  const AppSettings before = settings;
  prompts.colourAnswer = QColor(255, 0, 0);
  auto changeRpmColour = [this](QDialog& d) {
    child<QPushButton>(d, "rpmChange")->click();
    EXPECT_EQ(child<LinkLabel>(d, "rpmSwatch")->palette().color(QPalette::Window), QColor(255, 0, 0));
    edit(child<NumberField>(d, "graphMaxSpeed"))->setText("60");
  };

  // Esc, the close box and Cancel all leave the options as they were.
  EXPECT_FALSE(runWith(settings, *this, prompts, [&](QDialog& d) {
    changeRpmColour(d);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&d, &esc);
  }));
  EXPECT_FALSE(runWith(settings, *this, prompts, [&](QDialog& d) {
    changeRpmColour(d);
    d.close();
  }));
  EXPECT_FALSE(runWith(settings, *this, prompts, [&](QDialog& d) {
    changeRpmColour(d);
    child<QPushButton>(d, "cancel")->click();
  }));
  EXPECT_EQ(settings, before);
  ASSERT_EQ(prompts.chooserOpenedOn.size(), 3);
  EXPECT_EQ(prompts.chooserOpenedOn[0], QColor(Qt::black));

  prompts.colourAnswer.reset();  // the user cancels the chooser
  EXPECT_TRUE(runWith(settings, *this, prompts, [&](QDialog& d) {
    child<QPushButton>(d, "rpmChange")->click();
    edit(child<NumberField>(d, "graphMaxSpeed"))->setText("60");
    child<QPushButton>(d, "apply")->click();
  }));
  EXPECT_EQ(settings.rpmColor, before.rpmColor);
  EXPECT_EQ(settings.graphMaxSpeed, 60);

  prompts.colourAnswer = QColor(0, 0, 255);
  EXPECT_TRUE(runWith(settings, *this, prompts, [&](QDialog& d) {
    child<QPushButton>(d, "transferRateChange")->click();
    child<QPushButton>(d, "apply")->click();
  }));
  EXPECT_EQ(settings.transferRateColor, 0x00FF0000u);
}

}  // namespace
}  // namespace tmx::ui
