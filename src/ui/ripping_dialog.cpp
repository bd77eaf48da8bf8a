#include "ui/ripping_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ripping_history.h"
#include "app/window_dialogs.h"
#include "platform/atomic_file.h"
#include "results/file_messages.h"
#include "results/safe_text.h"
#include "results/text_report.h"
#include "ripping/ripping_text.h"

namespace tmx::ui {
namespace {

QString toQString(const std::string& text) {
  const std::string safe = safeText(text);
  return QString::fromUtf8(safe.data(), static_cast<qsizetype>(safe.size()));
}

}  // namespace

RippingDialog::RippingDialog(RippingCheckModel& model, const DriveFacts& facts, std::string discType,
                             std::string length, Clock& clock, WindowDialogs& dialogs, RippingHistory* history,
                             QWidget* parent)
    : QDialog(parent),
      model_(model),
      facts_(facts),
      discType_(std::move(discType)),
      length_(std::move(length)),
      clock_(clock),
      dialogs_(dialogs),
      history_(history) {
  setWindowTitle("Tachometrix: Ripping Features");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  auto* frame = new QGroupBox(this);
  overread_ = new QCheckBox("Read outside the disc (overread: some drives hang there)", frame);
  startButton_ = new QPushButton("&Start", frame);
  stopButton_ = new QPushButton("S&top", frame);
  saveButton_ = new QPushButton("&Save", frame);
  exitButton_ = new QPushButton("E&xit", frame);
  progress_ = new QProgressBar(frame);
  progress_->setRange(0, 100);
  statusLabel_ = new QLabel(frame);
  statusLabel_->setTextFormat(Qt::PlainText);
  statusLabel_->setWordWrap(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(startButton_);
  buttons->addWidget(stopButton_);
  buttons->addWidget(saveButton_);
  buttons->addWidget(exitButton_);
  buttons->addWidget(progress_, 1);
  earlier_ = new QComboBox(frame);
  earlier_->addItem("The check in this window");
  earlierNote_ = new QLabel(frame);
  earlierNote_->setTextFormat(Qt::PlainText);
  if (history_ != nullptr) {
    for (const EarlierCheck& c : history_->checks()) earlier_->addItem(toQString(c.label), QVariant::fromValue(c.id));
    earlierNote_->setText(history_->failure().empty() ? QString("%1 kept").arg(history_->checks().size())
                                                      : toQString(history_->failure()));
  } else {
    earlierNote_->setText("no results library");
  }
  auto* earlierRow = new QHBoxLayout;
  earlierRow->addWidget(new QLabel("Earlier checks of this drive:", frame));
  earlierRow->addWidget(earlier_, 1);
  earlierRow->addWidget(earlierNote_);

  auto* top = new QVBoxLayout(frame);
  top->addWidget(overread_);
  top->addLayout(buttons);
  top->addWidget(statusLabel_);
  top->addLayout(earlierRow);

  answers_ = new QListWidget(this);
  answers_->setSelectionMode(QAbstractItemView::NoSelection);
  answers_->setFocusPolicy(Qt::NoFocus);
  answers_->setUniformItemSizes(true);
  answers_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(answers_, 1);
  resize(760, 560);

  connect(startButton_, &QPushButton::clicked, this, &RippingDialog::start);
  connect(stopButton_, &QPushButton::clicked, this, &RippingDialog::stop);
  connect(saveButton_, &QPushButton::clicked, this, &RippingDialog::save);
  connect(exitButton_, &QPushButton::clicked, this, &RippingDialog::reject);
  connect(earlier_, &QComboBox::currentIndexChanged, this, &RippingDialog::showEarlier);
  model_.setWake([this] { QMetaObject::invokeMethod(this, [this] { pump(); }, Qt::QueuedConnection); });
  showState();
}

RippingDialog::~RippingDialog() {
  model_.setWake({});
  model_.stop();
}

void RippingDialog::showAnswers(const std::vector<std::string>& lines) {
  answers_->clear();
  for (const std::string& line : lines) answers_->addItem(toQString(line));
}

// 0: this window's check; else a kept one, its answers as they were stored.
void RippingDialog::showEarlier(int index) {
  if (index <= 0 || history_ == nullptr) return showAnswers(model_.answerLines());
  const auto lines = history_->lines(earlier_->itemData(index).toLongLong());
  if (!lines) return showAnswers({history_->failure()});
  showAnswers(*lines);
}

void RippingDialog::start() {
  if (!model_.start(overread_->isChecked())) return;
  earlier_->setCurrentIndex(0);
  answers_->clear();
  statusLabel_->setText("Starting...");
  showState();
}

void RippingDialog::stop() {
  model_.stop();
  showState();
}

void RippingDialog::pump() {
  const bool wasRunning = model_.running();
  if (!model_.pump()) return;
  if (!model_.lastStatus().empty()) statusLabel_->setText(toQString(model_.lastStatus()));
  showAnswers(model_.answerLines());
  showState();
  if (wasRunning && !model_.running()) {
    emit checkFinished();
    if (closeWhenDone_) {
      closeWhenDone_ = false;
      QDialog::reject();
    }
  }
}

void RippingDialog::showState() {
  const bool running = model_.running();
  overread_->setEnabled(!running && model_.canStart());
  startButton_->setEnabled(model_.canStart());
  stopButton_->setEnabled(running && !model_.stopping());
  saveButton_->setEnabled(!running && model_.finished().has_value());
  exitButton_->setEnabled(!closeWhenDone_);
  earlier_->setEnabled(!running && earlier_->count() > 1);
  progress_->setValue(model_.percent());
  if (!model_.refusal().empty()) {
    statusLabel_->setText(toQString(model_.refusal()));
  } else if (!running && !model_.finished()) {
    statusLabel_->setText("Reads the disc for about two minutes of drive time; Stop ends it after the command in flight.");
  } else if (model_.stopping()) {
    statusLabel_->setText("Stopping after the drive's current command...");
  }
  if (running) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
}

void RippingDialog::save() {
  if (model_.running() || !model_.finished()) return;
  FileChoice choice;
  choice.filter = "TXT files|*.txt||";
  choice.defaultExtension = "txt";
  choice.proposedName = "RippingFeatures.txt";
  const std::string path = dialogs_.chooseSaveFile(choice);
  if (path.empty()) return;
  const std::string report = formatRippingReport(facts_, discType_, length_, rippingTextLines(*model_.finished()),
                                                 reportTime(clock_.wallTime()));
  if (const int error = writeFileAtomically(path, report); error != 0) {
    dialogs_.messageBox(saveErrorMessage(path, error));
  }
}

// Closing while the check runs stops it after the command in flight; the
// window closes once the worker has left.
void RippingDialog::reject() {
  if (model_.running()) {
    closeWhenDone_ = true;
    model_.stop();
    showState();
    return;
  }
  QDialog::reject();
}

void RippingDialog::closeEvent(QCloseEvent* event) {
  if (model_.running()) {
    event->ignore();
    reject();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace tmx::ui
