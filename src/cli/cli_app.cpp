#include "cli/cli_app.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "program/application.h"
#include "program/graph_svg.h"
#include "cli/cli_host.h"
#include "cli/drive_check_verb.h"
#include "cli/ripping_verb.h"
#include "cli/interrupt_poll.h"
#include "cli/json_report.h"
#include "cli/library_verbs.h"
#include "cli/run_output.h"
#include "cli/save_phase.h"
#include "drive/drive_discovery.h"
#include "engine/event_channel.h"
#include "engine/measurement_table.h"
#include "engine/run_sequencer.h"
#include "platform/clock.h"
#include "results/dat_file.h"
#include "results/run_report.h"
#include "results/safe_text.h"
#include "results/settings_store.h"
#include "results/status_log.h"
#include "results/text_report.h"
#include "tmx_version.h"

namespace tmx::cli {
namespace {

constexpr const char* kVersion = TMX_VERSION;
constexpr const char* kInterruptedText = "tachometrix-cli: interrupted, stopping after the drive's current command\n";

StartOptions startOptionsOf(const CliOptions& options) {
  StartOptions start;
  start.realDrives = !options.emulatedOnly;
  start.emulatedDrives = !options.noEmulated;
  start.emulatedConfig = options.emulatedConfig.value_or("");
  start.clock = options.timeMode == TimeMode::Virtual  ? ClockKind::Virtual
                : options.timeMode == TimeMode::Scaled ? ClockKind::Scaled
                                                       : ClockKind::Real;
  start.timeScale = options.timeScale;
  start.faults = options.faults;
  const std::optional<std::filesystem::path> chosen =
      options.library ? std::optional<std::filesystem::path>(*options.library) : std::nullopt;
  start.libraryPath = libraryPathOf(chosen, options.noLibrary, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (options.libraryWaitMs) start.libraryOptions.busyTimeout = std::chrono::milliseconds(*options.libraryWaitMs);
  return start;
}

// Stdout closed under the program (the reader of a pipe left, the terminal
// went away): the run stops as Ctrl-C stops it, once, so the files asked
// for are still written.
class OutputWatch {
 public:
  explicit OutputWatch(InterruptPoll& interrupt) : interrupt_(interrupt) {}
  void check() {
    if (lost_ || !std::ferror(stdout)) return;
    lost_ = true;
    std::fputs("tachometrix-cli: standard output was closed\n", stderr);
    interrupt_.trigger();
  }

 private:
  InterruptPoll& interrupt_;
  bool lost_ = false;
};

// Prints the status lines not printed yet; `live` prints each as it is added.
class StatusPrinter {
 public:
  StatusPrinter(StatusLog& log, OutputWatch& output) : log_(log), output_(output) {
    log_.setObserver([this](const std::string&) {
      if (live) flush();
    });
  }
  void flush() {
    const auto& lines = log_.lines();
    for (; printed_ < lines.size(); ++printed_) std::printf("%s\n", safeText(lines[printed_]).c_str());
    std::fflush(stdout);
    output_.check();
  }
  bool live = false;

 private:
  StatusLog& log_;
  OutputWatch& output_;
  size_t printed_ = 0;
};

bool selectDrive(const CliOptions& options, DriveTable& table) {
  if (!options.drive) return true;
  const auto selector = parseDriveSelector(*options.drive);
  if (!selector->byAddress) {
    if (selector->index >= table.count) {
      printError("no drive " + std::to_string(selector->index) + " (" + std::to_string(table.count) + " found)");
      return false;
    }
    table.selected = selector->index;
    return true;
  }
  for (int i = 0; i < table.count; ++i) {
    const DriveAddress d = table.entries[static_cast<size_t>(i)];
    if (d.hostAdapter == selector->hostAdapter && d.target == selector->target) {
      table.selected = i;
      return true;
    }
  }
  printError("no CD-ROM drive at " + *options.drive);
  return false;
}

int loadDatVerb(const CliOptions& options, Application& app, StatusPrinter& printer, InterruptPoll& interrupt) {
  ResultsModel model;
  const FileStatus status = loadDatFile(*options.loadDat, model, app.statusLog());
  if (!status.ok()) {
    printError(status.error);
    return 1;
  }
  printSummary(makeRunReport(model.record, RunOutcome::LoadedFromFile));
  printer.flush();
  // No drive is involved: the report's drive lines stay empty.
  RunFiles run{model, app.statusLog().lines(), DriveFacts{}, RunOutcome::LoadedFromFile};
  SavePhase saves(interrupt);
  return saveRunFiles(options, run, false, loadSettings(), app.clock(), saves) ? 0 : 1;
}

// Loads the drives and selects the one asked for; an exit status when that
// failed.
std::optional<int> openDrives(const CliOptions& options, Application& app) {
  const StartupReport report = app.loadDrives();
  for (const auto& message : report.messages) std::fprintf(stderr, "%s\n", message.c_str());
  if (report.configFailed) {
    std::fprintf(stderr, "%s\n", report.configError.c_str());
    return 1;
  }
  if (report.managerFailed) {
    std::fprintf(stderr, "%s\n", app.transport().loaded() ? "No CD-ROM drives found" : report.managerFailure.c_str());
    return 1;
  }
  if (app.drives().count == 0) {
    std::fprintf(stderr, "No CD-ROM drives found\n");
    return 1;
  }
  if (!selectDrive(options, app.drives())) return 1;
  if (const auto error = app.armFaults(app.drives().selectedDrive())) {
    printError(*error);
    return 1;
  }
  return std::nullopt;
}

// The options apply to this run only: the CLI never saves them.
void applyRunOptions(const CliOptions& options, AppSettings& settings) {
  if (options.select) selectMeasurements(settings, *options.select);
  if (options.testLength) settings.testLength = *options.testLength;
  if (options.burstKb) settings.burstLengthKB = *options.burstKb;
}

// Starts the run or the quality check and handles its events until it ends;
// false when it could not start.
bool runToEnd(const CliOptions& options, Application& app, InterruptPoll& interrupt, OutputWatch& output) {
  TestSequencer& sequencer = app.sequencer();
  // The watcher stops a run at once, even while the main thread waits on a
  // drive in the read-method probe.
  interrupt.onInterrupt([&] {
    sequencer.requestStop();
    std::fputs(kInterruptedText, stderr);
  });
  bool started = true;
  if (options.qualityCheck) {
    started = sequencer.startQualityCheck();
    if (!started) printError("the drive reports no C2 error information; give --yes to check anyway");
  } else {
    sequencer.runTest(*options.runTests == "selected" ? RunAllSelected : testIdByName(*options.runTests));
  }
  while (sequencer.busy()) {
    app.channel().pumpOne(std::chrono::milliseconds(50));
    output.check();
    // Stop only ever stops: a Start on an idle sequencer would begin a new run.
    if (interrupt.interrupted()) sequencer.requestStop();
  }
  interrupt.onInterrupt(nullptr);
  app.stopWorker([&] { app.channel().pumpOne(std::chrono::milliseconds(20)); });
  return started;
}

// The disc cannot be measured: why, in the words a user needs.
void printNotMeasurable(const std::string& driveLine, const DiscPanel& panel) {
  if (panel.blank) {
    printError("the disc in " + driveLine + " is blank: there is nothing to read");
  } else {
    printError("the disc in " + driveLine + " cannot be measured (type " + panel.typeText + ")");
  }
}

int measure(const CliOptions& options, Application& app, const DiscPanel& panel, CliHost& host,
            InterruptPoll& interrupt, OutputWatch& output, StatusPrinter& printer) {
  const DriveAddress drive = app.drives().selectedDrive();
  applyRunOptions(options, app.settings());
  ResultsModel& results = app.results();
  results.texts.discTypeText = panel.typeText;
  results.texts.lengthText = panel.lengthText;

  printer.live = true;
  // Asked while the drive answers: after a failure or an interrupt it may not.
  const DriveFacts factsBefore = app.driveFacts(drive, drive);
  output.check();
  if (interrupt.interrupted()) {
    // Interrupted during the scan or the probe: nothing ran, and the files
    // asked for say so (every figure not measured).
    results.resetResults();
    results.record.discType = panel.kind;
    results.record.discLength = app.probe().storedLength();
    RunFiles run{results, app.statusLog().lines(), factsBefore, RunOutcome::NotStarted};
    SavePhase saves(interrupt);
    saveRunFiles(options, run, true, app.settings(), app.clock(), saves);
    return 1;
  }
  const bool started = runToEnd(options, app, interrupt, output);
  host.endProgress();
  printer.flush();
  if (!started) return 1;

  // A message box (no test selected, no audio CD) means nothing ran.
  const RunOutcome outcome = host.messages().empty() ? app.sequencer().lastOutcome() : RunOutcome::NotStarted;
  if (options.qualityCheck) {
    // The check reads no TOC of its own: the disc facts are the probe's.
    results.record.discType = panel.kind;
    results.record.discLength = app.probe().storedLength();
  }
  std::printf("\n");
  printSummary(makeRunReport(results.record, outcome, options.qualityCheck));
  if (options.qualityCheck) printQualityMap(results.record);
  std::fflush(stdout);
  const bool completed = outcome == RunOutcome::Completed;
  RunFiles run{results, app.statusLog().lines(), completed ? app.driveFacts(drive, drive) : factsBefore, outcome,
               options.qualityCheck, app.probe().storedLength()};
  bool saved = false;
  {
    SavePhase saves(interrupt);
    saved = saveRunFiles(options, run, true, app.settings(), app.clock(), saves);
  }
  // After the files, so they stay as they were; a failure is one more status
  // line. A signal now gives nothing up: the record is one short transaction.
  app.recordRun(outcome, options.qualityCheck, run.facts);
  printer.flush();
  return completed && saved ? 0 : 1;
}

}  // namespace

int runCli(const CliOptions& options) {
  if (options.help) {
    std::fputs(usageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("tachometrix-cli %s\n", kVersion);
    return 0;
  }
  // From here on Ctrl-C is taken by the poll: even an early one ends in order,
  // and it is acknowledged at once even while a drive holds the main thread.
  InterruptPoll interrupt;
  interrupt.onInterrupt([] { std::fputs(kInterruptedText, stderr); });
  OutputWatch output(interrupt);
  Application app(startOptionsOf(options));
  StatusPrinter printer(app.statusLog(), output);
  if (options.loadDat) return loadDatVerb(options, app, printer, interrupt);
  if (options.libraryCommand()) return runLibraryCommands(options, app, interrupt);

  CliOptions verbs = options;
  if (!verbs.list && !verbs.probe && !verbs.runTests && !verbs.qualityCheck && !verbs.driveCheck &&
      !verbs.rippingFeatures) {
    verbs.list = verbs.probe = true;
  }
  if (const auto failed = openDrives(options, app)) return *failed;
  const DriveTable& table = app.drives();
  const auto& lines = app.driveLines();
  if (verbs.driveCheck) return runDriveCheck(options, app.commands(), table, lines, interrupt);

  if (verbs.list) {
    for (const auto& line : lines) std::printf("%s\n", safeText(line).c_str());
  }
  const bool interactive = isatty(STDERR_FILENO) != 0;
  CliHost host(app.statusLog(), options.yes, interactive);
  app.attach(host);
  if (verbs.rippingFeatures) {
    printer.live = true;
    return runRippingFeatures(options, app, interrupt);
  }
  const DiscPanel panel = app.probe().refreshDiscPanel(table.selectedDrive());
  if (verbs.probe) std::printf("Type: %s\nLength: %s\n", panel.typeText.c_str(), panel.lengthText.c_str());
  printer.flush();
  if (!verbs.runTests && !verbs.qualityCheck) return 0;
  if (!panel.testsEnabled) {
    printNotMeasurable(lines[static_cast<size_t>(table.selected)], panel);
    return 1;
  }
  return measure(verbs, app, panel, host, interrupt, output, printer);
}

}  // namespace tmx::cli
