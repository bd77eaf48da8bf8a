// The options dialog: a view of OptionsModel. The check boxes, lists and
// colours write the model's copy as they change; "&Apply" reads the number
// fields through the model and closes only when both hold a number;
// "&Cancel", Esc and the close box leave the caller's options as they were.
// The read speed list acts on the drive at once.
#pragma once

#include <QDialog>
#include <optional>

#include "app/options_model.h"
#include "ui/dialog_prompts.h"

class QCheckBox;
class QComboBox;

namespace tmx::ui {

class LinkLabel;
class NumberField;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(OptionsModel& model, DialogPrompts& prompts, QWidget* parent = nullptr);

 signals:
  // After a successful Apply, just before the dialog closes.
  void applied(const tmx::AppSettings& settings);

 private:
  QWidget* buildGraphGroup();
  QWidget* buildReadSpeedGroup();
  QWidget* buildTestsGroup();
  QCheckBox* addTestBox(const char* name, const QString& text, bool& flag);
  void changeColour(uint32_t& member, LinkLabel* swatch);
  void showModel();
  void applyClicked();

  OptionsModel& model_;
  DialogPrompts& prompts_;
  NumberField* graphMaxSpeed_ = nullptr;
  NumberField* burstLength_ = nullptr;
  LinkLabel* maximumSpeed_ = nullptr;
  LinkLabel* currentSpeed_ = nullptr;
};

// Opens the dialog modally on a copy of `settings` for `drive` (none when no
// drive can be addressed). On Apply copies the options back and returns true:
// the caller redraws its graph then. Otherwise `settings` is untouched.
bool runOptionsDialog(AppSettings& settings, DriveCommands* commands, std::optional<DriveAddress> drive,
                      DialogPrompts& prompts, QWidget* parent, const Medium& medium = Medium{});

}  // namespace tmx::ui
