// "File > Results library...": the runs of the library in a list, filtered
// by drive and by disc; Open shows the selected run in the main window,
// Compare opens the Compare window for 2 to 8 runs, Export writes them as a
// bundle, Delete removes them, Import adds a bundle's or a DAT file's. A library that failed to open shows why, and
// the dialog offers to start a new one keeping the old file as FILE.bad.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/library_list_model.h"
#include "app/window_dialogs.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace tmx::ui {

class ResultsLibraryDialog : public QDialog {
  Q_OBJECT

 public:
  // `open` shows a run in the main window; `dialogs` asks and tells.
  // `clock` dates an imported DAT file's run when its file time is unknown.
  ResultsLibraryDialog(LibraryAccess& access, WindowDialogs& dialogs, std::function<void(const StoredRun&)> open,
                       Clock& clock, QWidget* parent = nullptr);

  LibraryListModel& model() { return model_; }
  QTreeWidget* list() const { return list_; }
  QComboBox* driveFilter() const { return driveFilter_; }
  QComboBox* discFilter() const { return discFilter_; }
  QLabel* status() const { return status_; }
  QPushButton* button(const QString& name) const;
  std::vector<int64_t> selectedIds() const;

  // Compare opens its window through this; tests catch it instead.
  std::function<void(std::vector<ComparedRun>)> showCompare;

 public slots:
  void refresh();
  void openSelected();
  void compareSelected();
  void exportSelected();
  void importFiles();
  void deleteSelected();
  void startNewLibrary();

 private:
  void fillFilter(QComboBox* box, const std::vector<std::string>& names, const QString& all);
  void filtersChanged();
  void selectionChanged();
  QPushButton* addButton(const QString& text, const QString& name);

  LibraryListModel model_;
  WindowDialogs& dialogs_;
  std::function<void(const StoredRun&)> open_;
  Clock& clock_;
  QComboBox* driveFilter_;
  QComboBox* discFilter_;
  QTreeWidget* list_;
  QLabel* status_;
  QWidget* buttonRow_;
  bool filling_ = false;
};

}  // namespace tmx::ui
