// The main window: drive list, Start and Exit, the result panels, progress
// bar, status list and the speed graph, with the menus of the command table.
// A thin view: it shows what MainWindowController holds and forwards the
// user's commands to it. Fixed client area of 633 x 440 pixels.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <initializer_list>
#include <map>
#include <utility>

#include "app/main_window_controller.h"
#include "app/window_dialogs.h"
#include "ui/status_list.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tmx::ui {

class ChannelWaker;
class LinkLabel;
class SpeedGraph;

inline constexpr int kClientWidth = 633;
inline constexpr int kClientHeight = 440;

class MainDialog : public QMainWindow, public WindowView {
  Q_OBJECT

 public:
  explicit MainDialog(MainWindowController& controller, QWidget* parent = nullptr);
  ~MainDialog() override;

  // WindowView.
  void statusLineAdded(const std::string& line) override;
  void stateChanged() override;
  void progressChanged() override;
  void graphChanged() override;

  // The controls, by their command or control ids, for tests.
  QAction* action(int commandId) const;
  LinkLabel* valueLabel(int controlId) const;
  QWidget* clientArea() const { return client_; }
  QComboBox* driveList() const { return driveList_; }
  QPushButton* startButton() const { return startButton_; }
  StatusList* statusList() const { return statusList_; }
  QProgressBar* progressBar() const { return progressBar_; }
  QCheckBox* accurateStreamBox() const { return accurateStream_; }
  QLabel* speedLabel() const { return speedLabel_; }
  SpeedGraph* graph() const { return graph_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void buildResultPanels();
  QLabel* addPairs(QWidget* panel, std::initializer_list<std::pair<const char*, int>> pairs);
  void buildMenus();
  QAction* addCommand(QMenu* menu, int id, const QString& text, const QKeySequence& shortcut = {});
  LinkLabel* addValue(QWidget* group, int controlId, int y);
  void showDrives();

  MainWindowController& controller_;
  ChannelWaker* waker_;
  QWidget* client_ = nullptr;
  SpeedGraph* graph_ = nullptr;
  QComboBox* driveList_ = nullptr;
  QPushButton* startButton_ = nullptr;
  QPushButton* exitButton_ = nullptr;
  QLabel* speedLabel_ = nullptr;
  QCheckBox* accurateStream_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  StatusList* statusList_ = nullptr;
  std::map<int, QAction*> actions_;
  std::map<int, LinkLabel*> values_;
  QTimer readinessTimer_;
  size_t drivesShown_ = 0;
};

}  // namespace tmx::ui
