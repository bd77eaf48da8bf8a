// The main window's file commands: load a DAT file, save the results as DAT,
// text or a report page, save the status list. Every save is atomic; a failure shows its
// message box and leaves an existing file as it was.
#include <chrono>
#include <filesystem>

#include "app/main_window_controller.h"
#include "library/stored_run_builder.h"
#include "platform/atomic_file.h"
#include "program/report_page.h"
#include "results/dat_file.h"
#include "results/text_report.h"
#include "ripping/ripping_text.h"
#include "tmx_version.h"

namespace tmx {
namespace {

const FileChoice kDatChoice{"DAT files|*.dat||", "dat", ""};
const FileChoice kTextChoice{"TXT files|*.txt||", "txt", ""};
const FileChoice kHtmlChoice{"HTML files|*.html||", "html", ""};

}  // namespace

void MainWindowController::loadDat() {
  const std::string path = dialogs_.chooseOpenFile(kDatChoice);
  if (path.empty()) return;
  const FileStatus status = loadDatFile(path, app_.results(), *this);
  if (!status.ok()) {
    dialogs_.messageBox(status.error);
    return;
  }
  // A loaded run is shown as a run: the error map of an earlier check goes.
  leaveQualityMode();
  redrawGraph();
  shownOutcome_ = RunOutcome::LoadedFromFile;
  changed();
}

void MainWindowController::saveBinary() {
  // Said before a name is asked for: the file could not hold the run.
  if (app_.results().record.media.medium.kind != MediumKind::CD) {
    dialogs_.messageBox(kDatHoldsCdOnlyText);
    return;
  }
  // The name comes from the drive of the last run; the read speed from the selected drive.
  const DriveTable& table = app_.drives();
  DriveAddress identity = table.selectedDrive();
  const DriveAddress tested = app_.sequencer().state().testDrive;
  for (int i = 0; i < table.count; ++i) {
    const DriveAddress d = table.entries[static_cast<size_t>(i)];
    if (d.hostAdapter == tested.hostAdapter && d.target == tested.target) identity = tested;
  }
  const DriveFacts facts = app_.driveFacts(identity, table.selectedDrive());
  FileChoice choice = kDatChoice;
  choice.proposedName = proposedFileName(facts, ".dat");
  const std::string path = dialogs_.chooseSaveFile(choice);
  if (path.empty()) return;
  const FileStatus status = saveDatFile(path, app_.results().record, facts);
  if (!status.ok()) dialogs_.messageBox(status.error);
}

void MainWindowController::saveAscii() {
  const DriveAddress drive = app_.drives().selectedDrive();
  const DriveFacts facts = app_.driveFacts(drive, drive);
  FileChoice choice = kTextChoice;
  choice.proposedName = proposedFileName(facts, ".txt");
  const std::string path = dialogs_.chooseSaveFile(choice);
  if (path.empty()) return;
  const ResultsModel& results = app_.results();
  const bool checked = !shownOutcome_ && rippingDrive_ && rippingDrive_->hostAdapter == drive.hostAdapter &&
                       rippingDrive_->target == drive.target;
  const FileStatus status = saveTextReport(path, results.texts, results.record, facts, app_.clock(), {},
                                           checked ? rippingLines_ : std::vector<std::string>());
  if (!status.ok()) dialogs_.messageBox(status.error);
}

void MainWindowController::saveStatus() {
  FileChoice choice = kTextChoice;
  choice.proposedName = "status.txt";
  const std::string path = dialogs_.chooseSaveFile(choice);
  if (path.empty()) return;
  const FileStatus status = saveStatusLog(path, app_.statusLog().lines());
  if (!status.ok()) dialogs_.messageBox(status.error);
}

void MainWindowController::noteDriveCheck(DriveAddress drive, std::vector<std::string> lines) {
  checkedDrive_ = drive;
  driveCheckLines_ = std::move(lines);
}

void MainWindowController::noteRippingCheck(DriveAddress drive, const RippingFeatures& features, bool stopped) {
  rippingDrive_ = drive;
  rippingLines_ = rippingTextLines(features);
  // Kept in the results library with the drive; a library that cannot take
  // it says so in the status list.
  app_.recordRipping(features, stopped, app_.driveFacts(drive, drive));
}

void MainWindowController::saveHtml() {
  // A loaded file has no drive; a run names the drive it measured.
  DriveFacts facts;
  std::vector<std::string> check;
  if (!shownOutcome_ && hasDrive()) {
    const DriveAddress drive = app_.drives().selectedDrive();
    facts = app_.driveFacts(drive, drive);
    if (checkedDrive_ && checkedDrive_->hostAdapter == drive.hostAdapter && checkedDrive_->target == drive.target) {
      check = driveCheckLines_;
    }
  }
  FileChoice choice = kHtmlChoice;
  choice.proposedName = facts.vendor.empty() ? "results.html" : proposedFileName(facts, ".html");
  const std::string path = dialogs_.chooseSaveFile(choice);
  if (path.empty()) return;
  const SequencerState& state = app_.sequencer().state();
  const RunOutcome outcome = shownOutcome_.value_or(app_.sequencer().lastOutcome());
  const LiveRunPage run{app_.results().record, outcome, state.qualityCheckActive, state.discSectors, facts,
                        app_.statusLog().lines(), TMX_VERSION, utcTimeText(std::chrono::system_clock::now()),
                        check};
  const std::string html = reportPageHtml(reportPageOf(run, app_.settings()));
  if (const int error = writeFileAtomically(path, html); error != 0) dialogs_.messageBox(saveErrorMessage(path, error));
}

}  // namespace tmx
