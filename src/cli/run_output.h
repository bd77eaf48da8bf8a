// What the CLI prints and writes of a run, a loaded DAT file or a run of the
// results library: the summary, the quality map, the files asked for.
#pragma once

#include "cli/cli_options.h"
#include "cli/save_phase.h"
#include "library/stored_run.h"
#include "platform/clock.h"
#include "results/app_settings.h"
#include "results/drive_facts.h"
#include "results/results_model.h"
#include "results/run_report.h"
#include "results/status_log.h"

namespace tmx::cli {

void printSummary(const RunReport& report);
// One character per 900-sector block: '.' no error, 1-9 the class, '#' above.
void printQualityMap(const TestResults& record);

// What a run leaves for its files.
struct RunFiles {
  ResultsModel& results;
  const std::vector<std::string>& statusLines;
  DriveFacts facts;
  RunOutcome outcome = RunOutcome::None;
  bool qualityCheck = false;
  int discSectors = 0;  // the end marker of the quality map
  const StoredRun* stored = nullptr;  // a run of the library: its page names all it holds
};

// Writes every file asked for, in order; false when one could not be written
// (each failure is printed). `datFile` is false where no run record exists.
bool saveRunFiles(const CliOptions& options, RunFiles& run, bool datFile, const AppSettings& settings, Clock& clock,
                  SavePhase& saves);

}  // namespace tmx::cli
