// The ripping-features window: "Read outside the disc" (opt-in, some drives
// hang there), "&Start", "S&top", "&Save" and "E&xit", a progress bar, the
// check's latest status line and its answers as each part ends, in a
// fixed-pitch font. The check runs off the interface thread (the model's
// worker); closing the window while it runs stops it after the command in
// flight, then closes. "Earlier checks" lists the drive's checks kept in the
// results library; choosing one shows its answers as they were.
#pragma once

#include <QDialog>

#include "app/ripping_check_model.h"

class QCheckBox;
class QComboBox;
class QCloseEvent;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tmx {
class RippingHistory;
class WindowDialogs;
struct DriveFacts;
}  // namespace tmx

namespace tmx::ui {

class RippingDialog : public QDialog {
  Q_OBJECT

 public:
  // `facts` and `discType`/`length` head the saved report; `dialogs` asks
  // for its file and shows why a save failed; `history` (optional) gives
  // the earlier checks.
  RippingDialog(RippingCheckModel& model, const DriveFacts& facts, std::string discType, std::string length,
                Clock& clock, WindowDialogs& dialogs, RippingHistory* history = nullptr, QWidget* parent = nullptr);
  ~RippingDialog() override;

  RippingCheckModel& model() { return model_; }
  QCheckBox* overreadBox() const { return overread_; }
  QListWidget* answers() const { return answers_; }
  QComboBox* earlierChecks() const { return earlier_; }

 public slots:
  void start();
  void stop();
  void save();

 signals:
  void checkFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void pump();
  void showState();
  void showAnswers(const std::vector<std::string>& lines);
  void showEarlier(int index);

  RippingCheckModel& model_;
  const DriveFacts& facts_;
  std::string discType_, length_;
  Clock& clock_;
  WindowDialogs& dialogs_;
  RippingHistory* history_;

  QCheckBox* overread_;
  QPushButton* startButton_;
  QPushButton* stopButton_;
  QPushButton* saveButton_;
  QPushButton* exitButton_;
  QProgressBar* progress_;
  QLabel* statusLabel_;
  QListWidget* answers_;
  QComboBox* earlier_;
  QLabel* earlierNote_;
  bool closeWhenDone_ = false;
};

}  // namespace tmx::ui
