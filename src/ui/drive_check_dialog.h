// The drive check window: one list of report lines, built off the interface
// thread so the window keeps painting while the drive answers (the speed
// probe can take a while on a real drive), with "&Save", "&Refresh" and
// "E&xit". The report is built when the window opens and on "&Refresh". The
// list shows the lines as "&Save" writes them, in a fixed-pitch font.
#pragma once

#include <QDialog>
#include <QPointer>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "drive/drive_address.h"

class QCloseEvent;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tmx {
class DriveCommands;
class StatusSink;
class SystemInfo;
}  // namespace tmx

namespace tmx::ui {

// The save dialog and the message box of the log save; tests script them.
class DriveCheckFiles {
 public:
  virtual ~DriveCheckFiles() = default;
  // Proposes "DriveCheck.txt", asks before overwriting; empty when cancelled.
  virtual QString chooseLogFile(QWidget* parent) = 0;
  // "Unable to creating log file", titled "DriveCheck", with the error icon.
  virtual void showSaveFailed(QWidget* parent) = 0;
};

class QtDriveCheckFiles final : public DriveCheckFiles {
 public:
  QString chooseLogFile(QWidget* parent) override;
  void showSaveFailed(QWidget* parent) override;
};

class DriveCheckDialog : public QDialog {
  Q_OBJECT

 public:
  // `widestLineLength` is the program's and outlives the dialog; `status`
  // (optional) receives why a save failed.
  DriveCheckDialog(DriveCommands& commands, DriveAddress drive, const SystemInfo& system, size_t& widestLineLength,
                   DriveCheckFiles& files, StatusSink* status = nullptr, QWidget* parent = nullptr);
  ~DriveCheckDialog() override;

  bool building() const { return building_; }
  const std::vector<std::string>& lines() const { return lines_; }

 public slots:
  void refresh();
  void save();

 signals:
  void reportFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void appendLine(const QString& text, const std::string& line);
  void finishBuild();
  void setBusy(bool busy);

  DriveCommands& commands_;
  DriveAddress drive_;
  const SystemInfo& system_;
  size_t& widest_;
  DriveCheckFiles& files_;
  StatusSink* status_;

  QListWidget* list_;
  QPushButton* saveButton_;
  QPushButton* refreshButton_;
  QPushButton* exitButton_;
  QProgressBar* busyBar_;

  std::vector<std::string> lines_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool building_ = false;
  bool closeWhenDone_ = false;
  bool builtOnce_ = false;
};

}  // namespace tmx::ui
