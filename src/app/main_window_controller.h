// Everything the main window decides, without widgets: the drive list, the
// status log, the Start caption, the progress value, the result texts, the
// enabled state of each command, start-up, the one-second readiness poll, the
// drive change, the run and check commands, the file commands and shutdown.
// It is the engine's host; the window only shows what it holds and forwards
// the user's commands.
//
//   MainWindowController controller(app, dialogs);
//   controller.setView(&window);
//   controller.startUp();
//   every second: controller.readinessTick();
//   on a command: controller.command(CmdStart);
//   at close:     controller.shutdown(pump);
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "program/application.h"
#include "app/command_ids.h"
#include "program/speed_graph_model.h"
#include "app/window_dialogs.h"
#include "engine/engine_host.h"
#include "library/stored_run.h"
#include "ripping/ripping_features.h"

namespace tmx {

// Commands whose dialogs live elsewhere; an unset hook disables its command.
struct WindowHooks {
  // The options dialog; true when the user accepted (the graph is redrawn).
  std::function<bool()> options;
  std::function<void()> about;
  // The drive check dialog for one drive, run modally.
  std::function<void(DriveAddress)> driveCheck;
  // The ripping-features dialog for one drive, run modally.
  std::function<void(DriveAddress)> rippingFeatures;
  // Closes the window (the Exit commands); the window then calls shutdown.
  std::function<void()> close;
  // The results library's dialog, run modally.
  std::function<void()> resultsLibrary;
  // Where the manual may be, in order of preference.
  std::vector<std::string> documentationPaths;
};

class MainWindowController final : public EngineHost {
 public:
  // Ticks the poll skips after a TEST UNIT READY timed out.
  static constexpr int kPollBackoffTicks = 10;

  MainWindowController(Application& app, WindowDialogs& dialogs);

  void setView(WindowView* view) { view_ = view; }
  WindowHooks hooks;

  // Loads the SCSI manager, finds the drives, selects the first, probes its
  // disc and starts the readiness poll. With no drive (or no SCSI layer) the
  // window stays usable and nothing ever sends a drive command.
  void startUp();
  // The one-second timer: TEST UNIT READY on the selected drive; the disc
  // panel is re-read when the disc becomes ready or stops being ready. After
  // a timeout the next kPollBackoffTicks ticks send nothing.
  void readinessTick();
  bool pollRunning() const { return pollRunning_; }

  // The drive list's selection changed. Refused while busy.
  void selectDrive(int index);
  // Runs a command of the command table; a disabled command does nothing and
  // returns false.
  bool command(int id);
  bool enabled(int id) const;
  // Shows a run of the results library as a DAT load shows a file: its
  // record, the panel texts and the graph (a check's map for a check).
  // Refused while busy.
  void showStoredRun(const StoredRun& run);

  // The report of the drive check just made of `drive`: a report page of
  // that drive's run includes it.
  void noteDriveCheck(DriveAddress drive, std::vector<std::string> lines);
  // The ripping-features check just made of `drive`: recorded in the
  // results library, and the text report of that drive's run ends with its
  // section.
  void noteRippingCheck(DriveAddress drive, const RippingFeatures& features, bool stopped);

  // Whether a run or the quality check holds the drive.
  bool busy() const;

  // Program exit: stops the poll and a running worker (handling its events
  // until it has left), restores the block mode, saves the settings, unloads
  // the SCSI manager. A second call does nothing.
  void shutdown(const std::function<void()>& pumpEvents);
  bool isShutDown() const { return app_.isShutDown(); }

  const std::vector<std::string>& driveLines() const { return app_.driveLines(); }
  int selectedDrive() const { return app_.drives().selected; }
  const std::vector<std::string>& statusLines() const { return app_.statusLog().lines(); }
  const ResultTexts& texts() const { return app_.results().texts; }
  int progress() const { return app_.results().progress; }
  const SpeedGraphModel& graph() const { return graph_; }
  Application& application() { return app_; }

  // EngineHost.
  void addStatusLine(std::string_view text) override;
  void setProgress(int percent) override;
  void setStartCaption(std::string_view caption) override;
  std::string startCaption() const override { return caption_; }
  void pushResultTexts() override;
  void drawEndMarker(int lba) override;
  void plotZoneSample(int zone, double sample) override;
  void redrawGraph() override;
  void markQualityBlock(int block, int errorClass) override;
  void plotMediumZone(const ZoneSpeed& zone) override;
  void markScanCell(int cell, int bucket) override;
  void messageBox(std::string_view text) override { dialogs_.messageBox(text); }
  bool askYesNo(std::string_view text) override { return dialogs_.askYesNo(text); }
  void stopReadinessPoll() override { pollRunning_ = false; }
  // Also where a run or check has ended: it is recorded in the results library.
  void startReadinessPoll() override;
  void enableSaveStatus() override;
  void enableSaveResults() override;

 private:
  bool hasDrive() const { return app_.hasDrive() && app_.transport().loaded(); }
  void refreshDiscPanel();
  void leaveQualityMode();
  // Accepted options are written at once, so a failure can still be shown:
  // once, in the status list.
  void saveOptions();
  void runTest(int testId);
  void qualityCheck();
  void driveCheck();
  void rippingFeatures();
  void documentation();
  void loadDat();
  void saveBinary();
  void saveAscii();
  void saveStatus();
  void saveHtml();
  void measure(const std::function<void()>& start);
  void recordFinishedRun();
  void changed();

  Application& app_;
  WindowDialogs& dialogs_;
  WindowView* view_ = nullptr;
  SpeedGraphModel graph_;
  std::string caption_ = "Start";
  bool pollRunning_ = false;
  int pollBackoff_ = 0;
  bool testsEnabled_ = false;
  bool saveStatusEnabled_ = false;
  bool saveResultsEnabled_ = false;
  // Where the record shown came from when not from the last run: a DAT
  // load, a run of the library.
  std::optional<RunOutcome> shownOutcome_;
  std::optional<DriveAddress> checkedDrive_;
  bool recordPending_ = false;  // a run or check was started and has not been recorded
  std::vector<std::string> driveCheckLines_;
  std::optional<DriveAddress> rippingDrive_;
  std::vector<std::string> rippingLines_;
  bool started_ = false;
  bool optionsFailureShown_ = false;
};

}  // namespace tmx
