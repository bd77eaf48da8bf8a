#include "app/main_window_controller.h"

#include <filesystem>

#include "engine/engine_ids.h"

namespace tmx {

MainWindowController::MainWindowController(Application& app, WindowDialogs& dialogs)
    : app_(app), dialogs_(dialogs), graph_(app.settings(), app.results().record) {}

bool MainWindowController::busy() const { return app_.attached() && app_.sequencer().busy(); }

void MainWindowController::changed() {
  if (view_) view_->stateChanged();
}

void MainWindowController::startUp() {
  if (started_) return;
  started_ = true;
  app_.statusLog().setObserver([this](const std::string& line) {
    if (view_) view_->statusLineAdded(line);
  });
  // A reset or a DAT load replaces what the panels and the graph show.
  app_.results().setObserver([this] {
    shownOutcome_.reset();
    redrawGraph();
    changed();
  });

  const StartupReport report = app_.loadDrives();
  // Permission hints belong where the user looks: the status list.
  for (const auto& message : report.messages) addStatusLine(message);
  if (report.configFailed) dialogs_.messageBox(report.configError);
  app_.attach(*this);
  if (report.managerFailed) {
    dialogs_.messageBox(report.managerFailure);
  } else if (!app_.hasDrive()) {
    dialogs_.messageBox("No CD-ROM drives found");
  } else {
    DriveTable& table = app_.drives();
    table.selected = 0;
    app_.probe().discReady = app_.commands().TestUnitReady(table.selectedDrive()) == kAspiSuccess;
    if (const auto error = app_.armFaults(table.selectedDrive())) dialogs_.messageBox(*error);
  }
  app_.results().record.speedSamples.fill(-1.0);
  app_.results().texts.speedLabelText = "Current";
  if (hasDrive()) refreshDiscPanel();
  startReadinessPoll();
  redrawGraph();
  changed();
}

void MainWindowController::refreshDiscPanel() {
  DiscProbe& probe = app_.probe();
  const DiscPanel panel = probe.refreshDiscPanel(app_.drives().selectedDrive());
  ResultTexts& texts = app_.results().texts;
  texts.discTypeText = panel.typeText;
  texts.lengthText = panel.lengthText;
  testsEnabled_ = panel.testsEnabled;
  // The graph's axes follow the medium in the drive, and its scale the drive.
  MediumResults& media = app_.results().record.media;
  if (media.medium.kind != probe.medium().kind || media.maxReadSpeedX != probe.maxReadSpeedX()) {
    media.medium = probe.medium();
    media.maxReadSpeedX = probe.maxReadSpeedX();
    redrawGraph();
  }
  changed();
}

void MainWindowController::readinessTick() {
  if (!pollRunning_ || busy() || !hasDrive() || isShutDown()) return;
  // A drive that let the last poll time out is left alone for a while, so a
  // hung drive holds the window for one short timeout now and then, not every second.
  if (pollBackoff_ > 0) {
    --pollBackoff_;
    return;
  }
  DiscProbe& probe = app_.probe();
  const DriveAddress drive = app_.drives().selectedDrive();
  DriveCommands& commands = app_.commands();
  bool ready = commands.TestUnitReady(drive) == kAspiSuccess;
  // The first command after a disc change reports UNIT ATTENTION; asking
  // again tells at once whether the new disc is ready.
  if (!ready && app_.transport().lastFailure().unitAttention()) {
    ready = commands.TestUnitReady(drive) == kAspiSuccess;
  }
  if (!ready && app_.transport().lastFailure().timedOut()) {
    pollBackoff_ = kPollBackoffTicks;
    return;
  }
  const bool wasReady = probe.discReady;
  probe.discReady = ready;
  if (ready != wasReady) refreshDiscPanel();
}

void MainWindowController::selectDrive(int index) {
  if (!enabled(CmdDriveList) || index < 0 || index >= app_.drives().count) return;
  if (index == app_.drives().selected) return;
  app_.drives().selected = index;
  pollBackoff_ = 0;
  leaveQualityMode();
  app_.results().resetResults();
  refreshDiscPanel();
  saveResultsEnabled_ = false;
  changed();
}

void MainWindowController::leaveQualityMode() {
  app_.sequencer().state().qualityCheckActive = false;
  app_.results().record.qualityMap.fill(-1);
}

bool MainWindowController::enabled(int id) const {
  if (isShutDown() || !started_) return false;
  const bool idle = !busy();
  const bool canMeasure = hasDrive() && testsEnabled_;
  switch (id) {
    case CmdStart:
    case CmdRunSelected:
    case CmdRunTransferRate:
    case CmdRunSeekTimes:
    case CmdRunCpuUtilization:
    case CmdRunBurstRate:
    case CmdRunDaeQuality:
    case CmdRunSpinUpDown:
      // During a run they act as Stop.
      return !idle || canMeasure;
    case CmdQualityCheck: return idle && canMeasure;
    // Each of these sends drive commands or rewrites the record a worker fills.
    case CmdDriveList: return idle && hasDrive();
    case CmdLoadDat: return idle;
    case CmdSaveBinary:
    case CmdSaveAscii: return idle && saveResultsEnabled_ && hasDrive();
    case CmdOptions: return idle && static_cast<bool>(hooks.options);
    case CmdDriveCheck: return idle && hasDrive() && static_cast<bool>(hooks.driveCheck);
    case CmdRippingFeatures: return idle && hasDrive() && static_cast<bool>(hooks.rippingFeatures);
    case CmdSaveStatus: return saveStatusEnabled_;
    case CmdSaveHtml: return idle && (saveResultsEnabled_ || shownOutcome_.has_value());
    case CmdResultsLibrary: return idle && static_cast<bool>(hooks.resultsLibrary);
    case CmdAbout:
    case CmdSystemAbout: return static_cast<bool>(hooks.about);
    case CmdExit:
    case CmdExitButton:
    case CmdDocumentation: return true;
    default: return false;
  }
}

bool MainWindowController::command(int id) {
  if (!enabled(id)) return false;
  // During a run Start and the Run Test commands read as Stop. Stopping goes
  // straight to the stop request: a start would first clear the quality
  // check's flag and map while its worker still reads.
  if (busy() && (id == CmdStart || id == CmdRunSelected || measurementForCommand(id))) {
    app_.sequencer().requestStop();
    changed();
    return true;
  }
  switch (id) {
    case CmdStart: measure([this] { app_.sequencer().startRun(); }); break;
    case CmdRunSelected: runTest(RunAllSelected); break;
    case CmdRunTransferRate:
    case CmdRunSeekTimes:
    case CmdRunCpuUtilization:
    case CmdRunBurstRate:
    case CmdRunDaeQuality:
    case CmdRunSpinUpDown: runTest(measurementForCommand(id)->id); break;
    case CmdQualityCheck: qualityCheck(); break;
    case CmdDriveCheck: driveCheck(); break;
    case CmdRippingFeatures: rippingFeatures(); break;
    case CmdLoadDat: loadDat(); break;
    case CmdSaveBinary: saveBinary(); break;
    case CmdSaveAscii: saveAscii(); break;
    case CmdSaveStatus: saveStatus(); break;
    case CmdSaveHtml: saveHtml(); break;
    case CmdResultsLibrary: hooks.resultsLibrary(); break;
    case CmdOptions:
      if (hooks.options()) {
        redrawGraph();
        saveOptions();
      }
      break;
    case CmdAbout:
    case CmdSystemAbout: hooks.about(); break;
    case CmdExit:
    case CmdExitButton:
      if (hooks.close) hooks.close();
      break;
    case CmdDocumentation: documentation(); break;
    default: break;
  }
  changed();
  return true;
}

void MainWindowController::saveOptions() {
  const auto error = app_.saveOptions();
  if (!error || optionsFailureShown_) return;
  optionsFailureShown_ = true;
  addStatusLine(*error);
}

void MainWindowController::runTest(int testId) {
  measure([&] { app_.sequencer().runTest(testId); });
}

void MainWindowController::qualityCheck() {
  measure([this] { app_.sequencer().startQualityCheck(); });
}

// A run that ends at once is recorded on its way out; one that never
// started (a question answered No) leaves nothing to record.
void MainWindowController::measure(const std::function<void()>& start) {
  recordPending_ = true;
  start();
  if (!app_.sequencer().busy()) recordPending_ = false;
}

void MainWindowController::startReadinessPoll() {
  pollRunning_ = hasDrive() && !isShutDown();
  if (recordPending_ && app_.attached() && !app_.sequencer().busy()) recordFinishedRun();
}

// The worker waits on the event being handled here: the drive is the main
// thread's for the facts the record asks of it.
void MainWindowController::recordFinishedRun() {
  recordPending_ = false;
  const RunOutcome outcome = app_.sequencer().lastOutcome();
  if (outcome == RunOutcome::None || !hasDrive()) return;
  const DriveAddress drive = app_.drives().selectedDrive();
  app_.recordRun(outcome, app_.sequencer().state().qualityCheckActive, app_.driveFacts(drive, drive));
}

void MainWindowController::driveCheck() {
  // The dialog sends its own commands: the poll must not run beside them.
  stopReadinessPoll();
  hooks.driveCheck(app_.drives().selectedDrive());
  startReadinessPoll();
}

void MainWindowController::rippingFeatures() {
  // The check sends its own commands; its dialog probes the disc first.
  stopReadinessPoll();
  hooks.rippingFeatures(app_.drives().selectedDrive());
  refreshDiscPanel();
  startReadinessPoll();
}

void MainWindowController::documentation() {
  for (const auto& path : hooks.documentationPaths) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
      if (!dialogs_.openWithDesktop(path)) dialogs_.messageBox("Unable to open " + path);
      return;
    }
  }
  dialogs_.messageBox("The manual tachometrixdoc.htm was not found");
}

void MainWindowController::shutdown(const std::function<void()>& pumpEvents) {
  pollRunning_ = false;
  app_.shutdown(pumpEvents, true);
}

void MainWindowController::addStatusLine(std::string_view text) { app_.statusLog().addStatusLine(text); }

void MainWindowController::setProgress(int percent) {
  app_.results().progress = percent;
  if (view_) view_->progressChanged();
}

void MainWindowController::setStartCaption(std::string_view caption) {
  caption_ = caption;
  changed();
}

void MainWindowController::pushResultTexts() { changed(); }

void MainWindowController::drawEndMarker(int lba) {
  graph_.drawEndMarker(lba);
  if (view_) view_->graphChanged();
}

void MainWindowController::plotZoneSample(int zone, double sample) {
  graph_.plotZoneSample(zone, sample);
  if (view_) view_->graphChanged();
}

void MainWindowController::redrawGraph() {
  if (app_.attached()) {
    const SequencerState& state = app_.sequencer().state();
    graph_.setQualityMode(state.qualityCheckActive, state.discSectors);
  }
  graph_.redrawGraph();
  if (view_) view_->graphChanged();
}

void MainWindowController::markQualityBlock(int block, int errorClass) {
  graph_.markQualityBlock(block, errorClass);
  if (view_) view_->graphChanged();
}

void MainWindowController::plotMediumZone(const ZoneSpeed& zone) {
  graph_.plotMediumZone(zone);
  if (view_) view_->graphChanged();
}

void MainWindowController::markScanCell(int cell, int bucket) {
  graph_.markScanCell(cell, bucket);
  if (view_) view_->graphChanged();
}

void MainWindowController::enableSaveStatus() {
  saveStatusEnabled_ = true;
  changed();
}

void MainWindowController::enableSaveResults() {
  saveResultsEnabled_ = true;
  changed();
}

}  // namespace tmx
