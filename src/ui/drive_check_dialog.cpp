#include "ui/drive_check_dialog.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "drive/status_sink.h"
#include "drivecheck/drive_check_builder.h"

namespace tmx::ui {
namespace {

QString toQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString QtDriveCheckFiles::chooseLogFile(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter("All Files (*)");
  dialog.setDefaultSuffix("txt");
  dialog.selectFile("DriveCheck.txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

void QtDriveCheckFiles::showSaveFailed(QWidget* parent) {
  QMessageBox::critical(parent, kLogSaveFailedTitle, kLogSaveFailedText, QMessageBox::Ok);
}

DriveCheckDialog::DriveCheckDialog(DriveCommands& commands, DriveAddress drive, const SystemInfo& system,
                                   size_t& widestLineLength, DriveCheckFiles& files, StatusSink* status,
                                   QWidget* parent)
    : QDialog(parent),
      commands_(commands),
      drive_(drive),
      system_(system),
      widest_(widestLineLength),
      files_(files),
      status_(status) {
  setWindowTitle("Tachometrix: Drive Check");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  auto* frame = new QGroupBox(this);
  saveButton_ = new QPushButton("&Save", frame);
  refreshButton_ = new QPushButton("&Refresh", frame);
  exitButton_ = new QPushButton("E&xit", frame);
  busyBar_ = new QProgressBar(frame);
  busyBar_->setRange(0, 0);  // busy: no known end
  busyBar_->setTextVisible(false);
  busyBar_->setMaximumWidth(160);
  busyBar_->setVisible(false);
  auto* buttons = new QHBoxLayout(frame);
  buttons->addWidget(saveButton_);
  buttons->addWidget(refreshButton_);
  buttons->addWidget(exitButton_);
  buttons->addStretch();
  buttons->addWidget(busyBar_);

  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setSortingEnabled(false);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setUniformItemSizes(true);
  // The lines are shown as the saved log has them; in a fixed-pitch font
  // their colons then line up.
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(list_, 1);
  resize(620, 440);

  connect(saveButton_, &QPushButton::clicked, this, &DriveCheckDialog::save);
  connect(refreshButton_, &QPushButton::clicked, this, &DriveCheckDialog::refresh);
  connect(exitButton_, &QPushButton::clicked, this, &DriveCheckDialog::reject);
}

DriveCheckDialog::~DriveCheckDialog() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void DriveCheckDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!builtOnce_) {
    builtOnce_ = true;
    refresh();
  }
}

void DriveCheckDialog::setBusy(bool busy) {
  building_ = busy;
  saveButton_->setEnabled(!busy);
  refreshButton_->setEnabled(!busy);
  busyBar_->setVisible(busy);
  if (busy) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
}

void DriveCheckDialog::refresh() {
  if (building_) return;
  if (worker_.joinable()) worker_.join();
  list_->clear();
  lines_.clear();
  cancel_ = false;
  setBusy(true);
  worker_ = std::thread([this] {
    DriveCheckReport report(widest_, [this](const std::string& line) {
      // The widest line is the worker's to change until the build ends.
      const QString text = toQString(logLine(line, widest_));
      QMetaObject::invokeMethod(this, [this, text, line] { appendLine(text, line); }, Qt::QueuedConnection);
    });
    buildDriveCheckReport(commands_, drive_, system_, report, &cancel_);
    QMetaObject::invokeMethod(this, [this] { finishBuild(); }, Qt::QueuedConnection);
  });
}

void DriveCheckDialog::appendLine(const QString& text, const std::string& line) {
  lines_.push_back(line);
  list_->addItem(text);
}

void DriveCheckDialog::finishBuild() {
  if (worker_.joinable()) worker_.join();
  // Separators came in as wide as the widest line so far; the log's are as
  // wide as the widest of all.
  for (size_t i = 0; i < lines_.size() && i < static_cast<size_t>(list_->count()); ++i) {
    if (lines_[i].starts_with('-')) list_->item(static_cast<int>(i))->setText(toQString(logLine(lines_[i], widest_)));
  }
  setBusy(false);
  exitButton_->setEnabled(true);
  emit reportFinished();
  if (closeWhenDone_) {
    closeWhenDone_ = false;
    QDialog::reject();
  }
}

void DriveCheckDialog::save() {
  if (building_) return;
  const QString path = files_.chooseLogFile(this);
  if (path.isEmpty()) return;
  const std::string target = path.toStdString();
  const int error = saveDriveCheckLog(target, lines_, widest_);
  if (error == 0) return;
  if (status_ != nullptr) status_->addStatusLine(logSaveFailureStatus(target, error));
  files_.showSaveFailed(this);
}

// Closing while the report is built stops it after the command in flight;
// the window closes once the worker has left.
void DriveCheckDialog::reject() {
  if (building_) {
    cancel_ = true;
    closeWhenDone_ = true;
    exitButton_->setEnabled(false);
    return;
  }
  exitButton_->setEnabled(true);
  QDialog::reject();
}

void DriveCheckDialog::closeEvent(QCloseEvent* event) {
  if (building_) {
    event->ignore();
    reject();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace tmx::ui
