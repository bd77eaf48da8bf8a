#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "engine/measurement_table.h"
#include "ui/colour_word.h"
#include "ui/link_label.h"
#include "ui/number_field.h"

namespace tmx::ui {
namespace {

constexpr uint32_t kSpeedTextColour = 0x00FFFF00;  // cyan, as the window's value labels

LinkLabel* makeSwatch(const char* name, uint32_t colour, QWidget* parent) {
  auto* swatch = new LinkLabel(parent);
  swatch->setObjectName(name);
  swatch->setFixedSize(48, 18);
  swatch->setFrameShape(QFrame::Box);
  swatch->setBackgroundColor(colour);
  return swatch;
}

LinkLabel* makeSpeedField(const char* name, QWidget* parent) {
  auto* field = new LinkLabel(parent);
  field->setObjectName(name);
  field->setMinimumWidth(56);
  field->setAlignment(Qt::AlignCenter);
  field->setBold(true);
  field->setBackgroundColor(0);
  field->setTextColor(kSpeedTextColour);
  return field;
}

}  // namespace

OptionsDialog::OptionsDialog(OptionsModel& model, DialogPrompts& prompts, QWidget* parent)
    : QDialog(parent), model_(model), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Tachometrix Options"));

  auto* lengthGroup = new QGroupBox(QStringLiteral("Test length"), this);
  auto* lengthList = new QComboBox(lengthGroup);
  lengthList->setObjectName("testLength");
  for (const char* text : kTestLengthTexts) lengthList->addItem(QString::fromLatin1(text));
  lengthList->setCurrentIndex(model_.testLengthIndex());
  connect(lengthList, &QComboBox::currentIndexChanged, this, [this](int i) { model_.chooseTestLength(i); });
  auto* lengthLayout = new QVBoxLayout(lengthGroup);
  lengthLayout->addWidget(lengthList);
  lengthLayout->addWidget(new QLabel(QStringLiteral("1:1 Slow\n1:6 Fast"), lengthGroup));

  auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
  apply->setObjectName("apply");
  apply->setDefault(true);
  connect(apply, &QPushButton::clicked, this, &OptionsDialog::applyClicked);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cancel->setObjectName("cancel");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* left = new QVBoxLayout;
  left->addWidget(lengthGroup);
  left->addWidget(buildReadSpeedGroup());
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(buildGraphGroup());
  right->addWidget(buildTestsGroup());
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(apply);
  buttons->addWidget(cancel);
  right->addLayout(buttons);

  auto* top = new QHBoxLayout(this);
  top->addLayout(left);
  top->addLayout(right, 1);
  top->setSizeConstraint(QLayout::SetFixedSize);
  setLayout(top);
  showModel();
}

QWidget* OptionsDialog::buildGraphGroup() {
  auto* group = new QGroupBox(QStringLiteral("Grid"), this);
  auto* grid = new QGridLayout(group);
  auto* showRpm = new QCheckBox(QStringLiteral("Show RPM"), group);
  showRpm->setObjectName("showRpm");
  showRpm->setChecked(model_.values().showRpm);
  connect(showRpm, &QCheckBox::toggled, this, [this](bool on) { model_.values().showRpm = on; });
  grid->addWidget(showRpm, 0, 0, 1, 3);

  struct ColourRow {
    const char* label;
    const char* name;
    uint32_t* member;
  } rows[] = {{"Transfer Rate color", "transferRate", &model_.values().transferRateColor},
              {"RPM color", "rpm", &model_.values().rpmColor}};
  int row = 1;
  for (const ColourRow& r : rows) {
    auto* swatch = makeSwatch((std::string(r.name) + "Swatch").c_str(), *r.member, group);
    auto* change = new QPushButton(QStringLiteral("Change"), group);
    change->setObjectName(QString::fromLatin1(r.name) + "Change");
    connect(change, &QPushButton::clicked, this, [this, member = r.member, swatch] { changeColour(*member, swatch); });
    grid->addWidget(new QLabel(QString::fromLatin1(r.label), group), row, 0);
    grid->addWidget(swatch, row, 1);
    grid->addWidget(change, row, 2);
    ++row;
  }

  graphMaxSpeed_ = new NumberField(kGraphMaxSpeedMin, kGraphMaxSpeedMax, group);
  graphMaxSpeed_->setObjectName("graphMaxSpeed");
  auto* label = new QLabel(QStringLiteral("Maximum Speed:"), group);
  label->setBuddy(graphMaxSpeed_);
  grid->addWidget(label, row, 0);
  grid->addWidget(graphMaxSpeed_, row, 1, 1, 2);
  // The scale that fits the drive's maximum read speed, beside the fixed one.
  auto* automatic = new QCheckBox(QStringLiteral("Automatic"), group);
  automatic->setObjectName("graphAutoScale");
  automatic->setChecked(model_.values().graphAutoScale);
  graphMaxSpeed_->setEnabled(!automatic->isChecked());
  connect(automatic, &QCheckBox::toggled, this, [this](bool on) {
    model_.values().graphAutoScale = on;
    graphMaxSpeed_->setEnabled(!on);
  });
  grid->addWidget(automatic, row + 1, 1, 1, 2);
  return group;
}

QWidget* OptionsDialog::buildReadSpeedGroup() {
  auto* group = new QGroupBox(QStringLiteral("Read Speed"), this);
  auto* grid = new QGridLayout(group);
  auto* list = new QComboBox(group);
  list->setObjectName("readSpeed");
  for (const ReadSpeedEntry& e : kReadSpeeds) list->addItem(QString::fromLatin1(e.text));
  list->setCurrentIndex(model_.values().readSpeedIndex);
  list->setEnabled(model_.hasDrive());
  // Only a choice of the user acts on the drive, not the selection above.
  connect(list, &QComboBox::currentIndexChanged, this, [this](int i) {
    model_.chooseReadSpeed(i);
    showModel();
  });
  grid->addWidget(list, 0, 0, 1, 2);
  maximumSpeed_ = makeSpeedField("maximumSpeed", group);
  currentSpeed_ = makeSpeedField("currentSpeed", group);
  grid->addWidget(new QLabel(QStringLiteral("Maximum"), group), 1, 0);
  grid->addWidget(maximumSpeed_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Current"), group), 2, 0);
  grid->addWidget(currentSpeed_, 2, 1);
  return group;
}

QCheckBox* OptionsDialog::addTestBox(const char* name, const QString& text, bool& flag) {
  auto* box = new QCheckBox(text, this);
  box->setObjectName(name);
  box->setChecked(flag);
  connect(box, &QCheckBox::toggled, this, [&flag](bool on) { flag = on; });
  return box;
}

QWidget* OptionsDialog::buildTestsGroup() {
  auto* group = new QGroupBox(this);
  auto* layout = new QGridLayout(group);
  AppSettings& v = model_.values();
  // Two columns of three, in run order.
  for (size_t i = 0; i < kMeasurements.size(); ++i) {
    const MeasurementInfo& m = kMeasurements[i];
    const auto text = QString::fromUtf8(m.optionText.data(), static_cast<qsizetype>(m.optionText.size()));
    layout->addWidget(addTestBox(std::string(m.optionName).c_str(), text, v.*m.selected), static_cast<int>(i % 3),
                      static_cast<int>(i / 3));
  }

  burstLength_ = new NumberField(kBurstLengthMin, kBurstLengthMax, group);
  burstLength_->setObjectName("burstLength");
  auto* label = new QLabel(QStringLiteral("Length (KB):"), group);
  label->setBuddy(burstLength_);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(burstLength_);
  row->addStretch();
  layout->addLayout(row, 3, 0, 1, 2);
  return group;
}

void OptionsDialog::changeColour(uint32_t& member, LinkLabel* swatch) {
  // The chooser starts from black, not from the current colour.
  const auto chosen = prompts_.chooseColour(this, Qt::black);
  if (!chosen) return;
  member = wordFromColour(*chosen);
  swatch->setBackgroundColor(member);
  swatch->setText(QString());
  swatch->update();
}

void OptionsDialog::showModel() {
  maximumSpeed_->setText(QString::fromStdString(model_.maximumSpeedText()));
  currentSpeed_->setText(QString::fromStdString(model_.currentSpeedText()));
  graphMaxSpeed_->setText(QString::fromStdString(model_.graphMaxSpeedField()));
  burstLength_->setText(QString::fromStdString(model_.burstLengthField()));
}

void OptionsDialog::applyClicked() {
  const OptionsField bad = model_.apply(graphMaxSpeed_->text().toStdString(), burstLength_->text().toStdString());
  if (bad != OptionsField::None) {
    NumberField* field = bad == OptionsField::GraphMaxSpeed ? graphMaxSpeed_ : burstLength_;
    prompts_.showError(this, QStringLiteral("Please enter a positive integer."));
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return;
  }
  emit applied(model_.values());
  accept();
}

bool runOptionsDialog(AppSettings& settings, DriveCommands* commands, std::optional<DriveAddress> drive,
                      DialogPrompts& prompts, QWidget* parent, const Medium& medium) {
  OptionsModel model(settings, commands, drive, medium);
  OptionsDialog dialog(model, prompts, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = model.values();
  return true;
}

}  // namespace tmx::ui
