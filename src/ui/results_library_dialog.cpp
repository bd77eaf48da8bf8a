#include "ui/results_library_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/compare_dialog.h"

namespace tmx::ui {

namespace {

std::optional<std::string> chosen(const QComboBox* box) {
  return box->currentIndex() > 0 ? std::optional(box->currentText().toStdString()) : std::nullopt;
}

}  // namespace

ResultsLibraryDialog::ResultsLibraryDialog(LibraryAccess& access, WindowDialogs& dialogs,
                                           std::function<void(const StoredRun&)> open, Clock& clock,
                                           QWidget* parent)
    : QDialog(parent), model_(access), dialogs_(dialogs), open_(std::move(open)), clock_(clock) {
  setWindowTitle(QStringLiteral("Results library"));
  setSizeGripEnabled(true);
  driveFilter_ = new QComboBox(this);
  discFilter_ = new QComboBox(this);
  driveFilter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  discFilter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* filters = new QHBoxLayout;
  auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), this);
  driveLabel->setBuddy(driveFilter_);
  filters->addWidget(driveLabel);
  filters->addWidget(driveFilter_, 1);
  auto* discLabel = new QLabel(QStringLiteral("D&isc:"), this);
  discLabel->setBuddy(discFilter_);
  filters->addWidget(discLabel);
  filters->addWidget(discFilter_, 1);

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setAllColumnsShowFocus(true);
  QStringList headers;
  for (const char* column : kLibraryColumns) headers << QString::fromUtf8(column);
  list_->setHeaderLabels(headers);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  buttonRow_ = new QWidget(this);
  auto* buttons = new QHBoxLayout(buttonRow_);
  buttons->setContentsMargins(0, 0, 0, 0);
  connect(addButton(QStringLiteral("&Open"), QStringLiteral("open")), &QPushButton::clicked, this,
          &ResultsLibraryDialog::openSelected);
  connect(addButton(QStringLiteral("&Compare"), QStringLiteral("compare")), &QPushButton::clicked, this,
          &ResultsLibraryDialog::compareSelected);
  connect(addButton(QStringLiteral("&Export..."), QStringLiteral("export")), &QPushButton::clicked, this,
          &ResultsLibraryDialog::exportSelected);
  connect(addButton(QStringLiteral("De&lete"), QStringLiteral("delete")), &QPushButton::clicked, this,
          &ResultsLibraryDialog::deleteSelected);
  connect(addButton(QStringLiteral("&Import..."), QStringLiteral("import")), &QPushButton::clicked, this,
          &ResultsLibraryDialog::importFiles);
  connect(addButton(QStringLiteral("Start a &new library"), QStringLiteral("new")), &QPushButton::clicked, this,
          &ResultsLibraryDialog::startNewLibrary);
  buttons->addStretch(1);
  connect(addButton(QStringLiteral("Close"), QStringLiteral("close")), &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(list_, 1);
  layout->addWidget(status_);
  layout->addWidget(buttonRow_);

  connect(driveFilter_, &QComboBox::currentIndexChanged, this, &ResultsLibraryDialog::filtersChanged);
  connect(discFilter_, &QComboBox::currentIndexChanged, this, &ResultsLibraryDialog::filtersChanged);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &ResultsLibraryDialog::selectionChanged);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &ResultsLibraryDialog::openSelected);
  showCompare = [this](std::vector<ComparedRun> runs) {
    CompareDialog compare(std::move(runs), dialogs_, this);
    compare.exec();
  };
  resize(980, 520);
  refresh();
  list_->setFocus();  // the keys select runs from the start
}

QPushButton* ResultsLibraryDialog::addButton(const QString& text, const QString& name) {
  auto* button = new QPushButton(text, buttonRow_);
  button->setObjectName(name);
  button->setAutoDefault(false);
  buttonRow_->layout()->addWidget(button);
  return button;
}

QPushButton* ResultsLibraryDialog::button(const QString& name) const {
  return buttonRow_->findChild<QPushButton*>(name);
}

void ResultsLibraryDialog::fillFilter(QComboBox* box, const std::vector<std::string>& names, const QString& all) {
  const QString current = box->currentIndex() > 0 ? box->currentText() : QString();
  box->clear();
  box->addItem(all);
  for (const std::string& name : names) box->addItem(QString::fromStdString(name));
  const int at = current.isEmpty() ? 0 : box->findText(current);
  box->setCurrentIndex(at < 0 ? 0 : at);
}

void ResultsLibraryDialog::refresh() {
  model_.refresh();
  filling_ = true;
  fillFilter(driveFilter_, model_.drives(), QStringLiteral("All drives"));
  fillFilter(discFilter_, model_.discs(), QStringLiteral("All discs"));
  filling_ = false;
  // A filter whose last run was deleted goes back to all.
  if (chosen(driveFilter_) != model_.driveFilter() || chosen(discFilter_) != model_.discFilter()) {
    model_.setDriveFilter(chosen(driveFilter_));
    model_.setDiscFilter(chosen(discFilter_));
    model_.refresh();
  }
  list_->clear();
  for (const LibraryRow& row : model_.rows()) {
    auto* item = new QTreeWidgetItem(list_);
    for (size_t c = 0; c < row.cells.size(); ++c) {
      item->setText(static_cast<int>(c), QString::fromStdString(row.cells[c]));
    }
    for (int c : {3, 4, 5, 6}) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(row.id));
  }
  for (int c = 0; c < list_->columnCount(); ++c) list_->resizeColumnToContents(c);
  status_->setText(QString::fromStdString(model_.statusText()));
  button(QStringLiteral("new"))->setVisible(model_.damaged());
  selectionChanged();
}

void ResultsLibraryDialog::filtersChanged() {
  if (filling_) return;
  model_.setDriveFilter(chosen(driveFilter_));
  model_.setDiscFilter(chosen(discFilter_));
  refresh();
}

std::vector<int64_t> ResultsLibraryDialog::selectedIds() const {
  std::vector<int64_t> ids;
  // In the list's order, so the first of a comparison is the topmost (newest).
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list_->topLevelItem(i);
    if (item->isSelected()) ids.push_back(item->data(0, Qt::UserRole).toLongLong());
  }
  return ids;
}

void ResultsLibraryDialog::selectionChanged() {
  const size_t count = selectedIds().size();
  const bool writable = !model_.failed() && !model_.readOnly();
  button(QStringLiteral("open"))->setEnabled(count == 1);
  button(QStringLiteral("compare"))->setEnabled(LibraryListModel::canCompare(count));
  button(QStringLiteral("export"))->setEnabled(count > 0);
  button(QStringLiteral("delete"))->setEnabled(count > 0 && writable);
  button(QStringLiteral("import"))->setEnabled(writable);
}

void ResultsLibraryDialog::openSelected() {
  const auto ids = selectedIds();
  if (ids.size() != 1) return;
  auto run = model_.load(ids[0]);
  if (!run) {
    dialogs_.messageBox(run.error);
    return;
  }
  if (open_) open_(*run.value);
  accept();
}

void ResultsLibraryDialog::compareSelected() {
  auto runs = model_.compared(selectedIds());
  if (!runs) {
    dialogs_.messageBox(runs.error);
    return;
  }
  showCompare(std::move(*runs.value));
}

void ResultsLibraryDialog::exportSelected() {
  const auto ids = selectedIds();
  if (ids.empty()) return;
  const std::string path = dialogs_.chooseSaveFile({"Run bundles|*.json||", "json", "runs.json"});
  if (path.empty()) return;
  if (const auto error = model_.exportBundle(ids, path)) dialogs_.messageBox(*error);
}

void ResultsLibraryDialog::importFiles() {
  const std::string path = dialogs_.chooseOpenFile({"Run bundles and DAT files|*.json;*.dat||", "json", ""});
  if (path.empty()) return;
  if (const auto error = model_.importFiles({path}, clock_)) dialogs_.messageBox(*error);
  refresh();
}

void ResultsLibraryDialog::deleteSelected() {
  const auto ids = selectedIds();
  if (ids.empty()) return;
  const std::string question =
      ids.size() == 1 ? "Delete the selected run from the results library?"
                      : "Delete the " + std::to_string(ids.size()) + " selected runs from the results library?";
  if (!dialogs_.askYesNo(question)) return;
  if (const auto error = model_.remove(ids)) dialogs_.messageBox(*error);
  refresh();
}

void ResultsLibraryDialog::startNewLibrary() {
  if (!dialogs_.askYesNo("Start a new, empty results library? The damaged file is kept beside it with .bad added "
                         "to its name."))
    return;
  if (const auto error = model_.startNewLibrary()) dialogs_.messageBox(*error);
  refresh();
}

}  // namespace tmx::ui
