#include "ui/main_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "app/panel_values.h"
#include "ui/channel_waker.h"
#include "ui/link_label.h"
#include "ui/speed_graph.h"

namespace tmx::ui {
namespace {

// Dialog units of the 8-point base font to pixels.
QRect du(int x, int y, int w, int h) { return QRect(x * 6 / 4, y * 13 / 8, w * 6 / 4, h * 13 / 8); }

constexpr uint32_t kValueText = 0x00FFFF00;  // cyan
constexpr uint32_t kValueBackground = 0x00000000;

// Labels over values inside a group: caption at y, value 14 px below it.
constexpr int kPairPitch = 36;
constexpr int kFirstPair = 17;

QGroupBox* group(QWidget* parent, const QString& title, QRect geometry) {
  auto* box = new QGroupBox(title, parent);
  box->setGeometry(geometry);
  return box;
}

QLabel* caption(QWidget* group, const QString& text, int y) {
  auto* label = new QLabel(text, group);
  label->setGeometry(6, y, group->width() - 12, 14);
  return label;
}

}  // namespace

MainDialog::MainDialog(MainWindowController& controller, QWidget* parent)
    : QMainWindow(parent), controller_(controller), waker_(new ChannelWaker(controller.application().channel(), this)) {
  setWindowTitle("Tachometrix");
  // A fixed window with a minimise box and no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QFont base = font();
  base.setPixelSize(11);  // the 8-point base font the layout is measured in
  setFont(base);
  buildControls();
  buildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  controller_.hooks.close = [this] { close(); };
  controller_.setView(this);
  connect(&readinessTimer_, &QTimer::timeout, this, [this] { controller_.readinessTick(); });
  readinessTimer_.start(1000);
  stateChanged();
}

MainDialog::~MainDialog() {
  controller_.setView(nullptr);
  controller_.hooks.close = nullptr;
}

void MainDialog::buildControls() {
  client_ = new QWidget(this);
  client_->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client_);

  // The graph lies under every other control and paints the whole client area.
  graph_ = new SpeedGraph(controller_.graph(), client_);
  graph_->setGeometry(0, 0, kClientWidth, kClientHeight);

  driveList_ = new QComboBox(client_);
  driveList_->setGeometry(du(133, 8, 169, 14));
  connect(driveList_, &QComboBox::activated, this, [this](int index) { controller_.selectDrive(index); });

  startButton_ = new QPushButton("&Start", client_);
  startButton_->setGeometry(du(310, 7, 50, 14));
  connect(startButton_, &QPushButton::clicked, this, [this] { controller_.command(CmdStart); });
  exitButton_ = new QPushButton("E&xit", client_);
  exitButton_->setGeometry(du(365, 7, 50, 14));
  connect(exitButton_, &QPushButton::clicked, this, [this] { controller_.command(CmdExitButton); });

  buildResultPanels();

  progressBar_ = new QProgressBar(client_);
  progressBar_->setGeometry(du(27, 208, 267, 7));
  progressBar_->setRange(0, 100);
  progressBar_->setTextVisible(false);

  statusList_ = new StatusList(client_);
  statusList_->setGeometry(du(27, 219, 267, 35));
}

// A captioned value per line of a panel, from its top; returns the first caption.
QLabel* MainDialog::addPairs(QWidget* panel, std::initializer_list<std::pair<const char*, int>> pairs) {
  QLabel* first = nullptr;
  int y = kFirstPair;
  for (const auto& [text, controlId] : pairs) {
    QLabel* label = caption(panel, text, y);
    if (!first) first = label;
    addValue(panel, controlId, y);
    y += kPairPitch;
  }
  return first;
}

void MainDialog::buildResultPanels() {
  // The first caption reads "Current" during the transfer test, then "Average".
  speedLabel_ = addPairs(group(client_, "Speed", du(310, 28, 51, 102)),
                         {{"Current", ValueAverage}, {"Start", ValueStart}, {"End", ValueEnd}, {"Type", ValueReadingType}});

  QGroupBox* dae = group(client_, "DAE quality", du(310, 132, 51, 59));
  addValue(dae, ValueDaeScore, kFirstPair - 14);
  accurateStream_ = new QCheckBox("Accurate\nStream", dae);
  accurateStream_->setGeometry(6, kFirstPair + 24, dae->width() - 8, 34);
  // It shows what the drive reported; the user cannot toggle it.
  accurateStream_->setAttribute(Qt::WA_TransparentForMouseEvents);
  accurateStream_->setFocusPolicy(Qt::NoFocus);

  addPairs(group(client_, "Disc", du(310, 193, 51, 61)), {{"Type", ValueDiscType}, {"Length", ValueLength}});
  addPairs(group(client_, "Seek times", du(364, 28, 51, 79)),
           {{"Random", ValueRandomSeek}, {"1/3", ValueOneThirdSeek}, {"Full", ValueFullSeek}});
  addPairs(group(client_, "CPU usage", du(364, 109, 51, 102)),
           {{"1X", ValueCpu1X}, {"2X", ValueCpu1X + 1}, {"4X", ValueCpu1X + 2}, {"8X", ValueCpu1X + 3}});
  addPairs(group(client_, "Interface", du(364, 213, 51, 41)), {{"Burst rate", ValueBurst}});
}

LinkLabel* MainDialog::addValue(QWidget* group, int controlId, int y) {
  auto* label = new LinkLabel(group);
  label->setGeometry(6, y + 14, group->width() - 12, 17);
  label->setBackgroundColor(kValueBackground);
  label->setTextColor(kValueText);
  label->setBold(true);
  label->setAlignment(Qt::AlignCenter);
  values_[controlId] = label;
  return label;
}

QAction* MainDialog::addCommand(QMenu* menu, int id, const QString& text, const QKeySequence& shortcut) {
  QAction* action = menu->addAction(text);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, id] { controller_.command(id); });
  actions_[id] = action;
  return action;
}

void MainDialog::buildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  addCommand(file, CmdLoadDat, "&Load DAT File");
  addCommand(file, CmdResultsLibrary, "&Results library...");
  file->addSeparator();
  QMenu* save = file->addMenu("&Save Results");
  addCommand(save, CmdSaveBinary, "&Binary (.DAT File)");
  addCommand(save, CmdSaveAscii, "ASCII (.TXT File)");
  addCommand(save, CmdSaveHtml, "&HTML...");
  addCommand(file, CmdSaveStatus, "Save Status");
  file->addSeparator();
  addCommand(file, CmdOptions, "&Options");
  file->addSeparator();
  addCommand(file, CmdExit, "E&xit\tAlt-F4", QKeySequence(Qt::ALT | Qt::Key_F4));

  QMenu* run = menuBar()->addMenu("&Run Test");
  addCommand(run, CmdRunSelected, "&Selected");
  run->addSeparator();
  for (const MeasurementInfo& m : kMeasurements) {
    addCommand(run, m.runCommand, QString::fromUtf8(m.menuText.data(), static_cast<qsizetype>(m.menuText.size())));
  }

  QMenu* extra = menuBar()->addMenu("&Extra");
  addCommand(extra, CmdQualityCheck, "&CD quality check");
  addCommand(extra, CmdDriveCheck, "&Drive check");
  addCommand(extra, CmdRippingFeatures, "&Ripping features...");

  // The desktop offers no system-menu entries: About stays in the Help menu.
  QMenu* help = menuBar()->addMenu("&Help");
  addCommand(help, CmdDocumentation, "&Documentation\tF1", QKeySequence(Qt::Key_F1));
  help->addSeparator();
  addCommand(help, CmdAbout, "&About");
}

QAction* MainDialog::action(int commandId) const {
  const auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

LinkLabel* MainDialog::valueLabel(int controlId) const {
  const auto it = values_.find(controlId);
  return it == values_.end() ? nullptr : it->second;
}

void MainDialog::showDrives() {
  const auto& lines = controller_.driveLines();
  if (drivesShown_ != lines.size()) {
    driveList_->clear();
    for (const auto& line : lines) driveList_->addItem(QString::fromStdString(line));
    drivesShown_ = lines.size();
  }
  if (!lines.empty() && driveList_->currentIndex() != controller_.selectedDrive()) {
    driveList_->setCurrentIndex(controller_.selectedDrive());
  }
}

void MainDialog::statusLineAdded(const std::string& line) {
  statusList_->addLine(QString::fromStdString(line));
}

void MainDialog::stateChanged() {
  showDrives();
  const std::string caption = controller_.startCaption();
  startButton_->setText(caption == "Start" ? "&Start" : QString::fromStdString(caption));
  startButton_->setEnabled(controller_.enabled(CmdStart));
  exitButton_->setEnabled(controller_.enabled(CmdExitButton));
  driveList_->setEnabled(controller_.enabled(CmdDriveList));
  for (auto& [id, action] : actions_) action->setEnabled(controller_.enabled(id));

  const ResultTexts& t = controller_.texts();
  for (const auto& [id, text] : panelValueTexts(t)) values_[id]->setText(QString::fromStdString(*text));
  speedLabel_->setText(QString::fromStdString(t.speedLabelText));
  accurateStream_->setChecked(t.accurateStreamBox);
  progressChanged();
}

void MainDialog::progressChanged() { progressBar_->setValue(controller_.progress()); }

void MainDialog::graphChanged() { graph_->update(); }

void MainDialog::closeEvent(QCloseEvent* event) {
  readinessTimer_.stop();
  // Handles the worker's events right here until it has left the drive.
  EventChannel& channel = controller_.application().channel();
  controller_.shutdown([&channel] { channel.pumpOne(std::chrono::milliseconds(20)); });
  event->accept();
}

}  // namespace tmx::ui
