// A run of the results library shown in the main window, as a DAT load
// shows a file: the record replaces the one shown, the panels show its
// figures, the graph its curve or, for a check, its map.
#include "app/main_window_controller.h"
#include "drive/disc_probe.h"
#include "engine/sequencer_state.h"
#include "results/result_texts.h"

namespace tmx {

void MainWindowController::showStoredRun(const StoredRun& run) {
  if (busy() || !app_.attached()) return;
  const bool check = run.summary.kind == StoredRunKind::QualityCheck;
  ResultsModel& results = app_.results();
  leaveQualityMode();
  results.record = run.record;
  ResultTexts& texts = results.texts;
  clearResultTexts(texts);
  const RunReport report = makeRunReport(run.record, run.summary.outcome, check);
  fillTextsFromReport(report, texts);
  // A DAT file has no reading type; a stored run keeps the one it was measured with.
  texts.readingTypeText = report.readingType.value_or("");
  texts.speedLabelText = "Average";
  if (report.medium.kind != MediumKind::CD) {
    texts.discTypeText = report.medium.profileName.empty() ? mediumName(report.medium.kind) : report.medium.profileName;
    texts.lengthText = mediumLengthText(report.medium);
  }
  SequencerState& state = app_.sequencer().state();
  state.qualityCheckActive = check;
  state.discSectors = run.disc.lengthSectors > 0 ? static_cast<int32_t>(run.disc.lengthSectors) : run.record.discLength;
  results.notifyChanged();  // redraws the graph from the record
  shownOutcome_ = run.summary.outcome;
  // The drive list still names the selected drive: the line says whose run this is.
  const std::string drive = run.summary.drive.empty() ? std::string() : run.summary.drive + ", ";
  addStatusLine("Showing run " + std::to_string(run.summary.id) + " of the results library (" + drive + "measured " +
                run.summary.utcTime + ")");
  changed();
}

}  // namespace tmx
