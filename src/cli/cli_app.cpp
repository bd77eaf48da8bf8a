#include "cli/cli_app.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "app/application.h"
#include "app/graph_svg.h"
#include "cli/cli_host.h"
#include "cli/drive_check_verb.h"
#include "cli/interrupt_poll.h"
#include "cli/json_report.h"
#include "cli/save_errors.h"
#include "drive/drive_discovery.h"
#include "engine/event_channel.h"
#include "engine/test_sequencer.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "results/dat_file.h"
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
  return start;
}

// Prints the status lines not printed yet; `live` prints each as it is added.
class StatusPrinter {
 public:
  explicit StatusPrinter(StatusLog& log) : log_(log) {
    log_.setObserver([this](const std::string&) {
      if (live) flush();
    });
  }
  void flush() {
    const auto& lines = log_.lines();
    for (; printed_ < lines.size(); ++printed_) std::printf("%s\n", safeText(lines[printed_]).c_str());
    std::fflush(stdout);
  }
  bool live = false;

 private:
  StatusLog& log_;
  size_t printed_ = 0;
};

void printError(const std::string& text) {
  std::string shown = text;
  for (size_t at; (at = shown.find("\r\n\n")) != std::string::npos;) shown.replace(at, 3, ": ");
  std::fprintf(stderr, "tachometrix-cli: %s\n", safeText(shown).c_str());
}

bool writeTextFile(const std::string& path, const std::string& text) {
  std::fflush(stdout);  // --json /dev/stdout comes after the lines already printed
  const int error = writeFileAtomically(path, text);
  if (error == 0) return true;
  printError(saveFailureText(path, error));
  return false;
}

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

const char* outcomeText(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Completed: return "completed";
    case RunOutcome::Aborted: return "aborted";
    case RunOutcome::Cancelled: return "cancelled";
    case RunOutcome::None: break;
  }
  return "not started";
}

void printPanels(const ResultTexts& texts) {
  std::printf("\n");
  for (const auto& line : panelLines(texts)) std::printf("%s\n", safeText(line).c_str());
}

// One character per 900-sector block: '.' no error, 1-9 the class, '#' above.
void printQualityMap(const TestResults& record) {
  int last = -1;
  for (int b = 0; b < kQualityBlockCount; ++b) {
    if (record.qualityMap[static_cast<size_t>(b)] >= 0) last = b;
  }
  if (last < 0) return;
  std::printf("\nC2 error map, one character per 900 sectors ('.' none, 1-9 class, '#' 10 and above):\n");
  for (int row = 0; row <= last; row += 50) {
    std::string line;
    for (int b = row; b < row + 50 && b <= last; ++b) {
      const int c = record.qualityMap[static_cast<size_t>(b)];
      line += c < 0 ? ' ' : c == 0 ? '.' : c < 10 ? static_cast<char>('0' + c) : '#';
    }
    std::printf("%s %s\n", FormatDiscTime(row * 900L).c_str(), line.c_str());
  }
}

// Writes the report, the status lines and the JSON asked for; false when one
// could not be written (each failure is printed).
bool writeOutputs(const CliOptions& options, const ResultsModel& results, const StatusLog& statusLog,
                  const DriveFacts& facts, const std::string& outcome, bool qualityMap, Clock& clock) {
  bool ok = true;
  if (options.saveReport) {
    const FileStatus saved = saveTextReport(*options.saveReport, results.texts, results.record, facts, clock);
    if (!saved.ok()) {
      printError(fileStatusText(saved));
      ok = false;
    }
  }
  if (options.saveStatus && !writeTextFile(*options.saveStatus, statusLogText(statusLog.lines()))) ok = false;
  if (options.json && !writeTextFile(*options.json, formatJsonReport({results.record, results.texts, statusLog.lines(),
                                                                        facts, outcome, qualityMap}))) {
    ok = false;
  }
  return ok;
}

int loadDatVerb(const CliOptions& options, Clock& clock, StatusLog& statusLog, StatusPrinter& printer) {
  ResultsModel model;
  const FileStatus status = loadDatFile(*options.loadDat, model, statusLog);
  if (!status.ok()) {
    printError(status.error);
    return 1;
  }
  for (const auto& line : panelLines(model.texts)) std::printf("%s\n", safeText(line).c_str());
  printer.flush();
  bool ok = !options.graphSvg ||
            writeTextFile(*options.graphSvg, recordGraphSvg(loadSettings(), model.record, false, 0));
  // No drive is involved: the report's drive lines stay empty.
  ok = writeOutputs(options, model, statusLog, DriveFacts{}, "loaded", false, clock) && ok;
  return ok ? 0 : 1;
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
  Application app(startOptionsOf(options));
  StatusLog& statusLog = app.statusLog();
  StatusPrinter printer(statusLog);
  if (options.loadDat) return loadDatVerb(options, app.clock(), statusLog, printer);

  CliOptions verbs = options;
  if (!verbs.list && !verbs.probe && !verbs.runTests && !verbs.qualityCheck && !verbs.driveCheck) {
    verbs.list = verbs.probe = true;
  }

  const StartupReport report = app.loadDrives();
  for (const auto& message : report.messages) std::fprintf(stderr, "%s\n", message.c_str());
  if (report.configFailed) {
    std::fprintf(stderr, "%s\n", report.configError.c_str());
    return 1;
  }
  if (report.managerFailed) {
    std::fprintf(stderr, "%s\n", app.transport().loaded() ? "No CD-ROM drives found" : "Unable to initialize WNASPI32.DLL");
    return 1;
  }

  DriveTable& table = app.drives();
  const auto& lines = app.driveLines();
  if (table.count == 0) {
    std::fprintf(stderr, "No CD-ROM drives found\n");
    return 1;
  }
  if (!selectDrive(options, table)) return 1;
  const DriveAddress drive = table.selectedDrive();
  if (const auto error = app.armFaults(drive)) {
    printError(*error);
    return 1;
  }
  if (verbs.driveCheck) return runDriveCheck(options, app.commands(), table, lines);

  if (verbs.list) {
    for (const auto& line : lines) std::printf("%s\n", safeText(line).c_str());
  }
  const bool runs = verbs.runTests || verbs.qualityCheck;
  const bool interactive = isatty(STDERR_FILENO) != 0;
  CliHost host(statusLog, options.yes, interactive);
  app.attach(host);
  const DiscPanel panel = app.probe().refreshDiscPanel(drive);
  if (verbs.probe) std::printf("Type: %s\nLength: %s\n", panel.typeText.c_str(), panel.lengthText.c_str());
  printer.flush();
  if (!runs) return 0;
  if (!panel.testsEnabled) {
    printError("the disc in " + lines[static_cast<size_t>(table.selected)] + " cannot be measured (type " +
               panel.typeText + ")");
    return 1;
  }

  // The options apply to this run only: the CLI never saves them.
  AppSettings& settings = app.settings();
  if (options.select) {
    settings.runTransferRate = settings.runDaeQuality = settings.runSeekTimes = false;
    settings.runCpuUtilization = settings.runBurstRate = settings.runSpinUpDown = false;
    for (int t : *options.select) {
      if (t == TestTransferRate) settings.runTransferRate = true;
      if (t == TestDaeQuality) settings.runDaeQuality = true;
      if (t == TestSeekTimes) settings.runSeekTimes = true;
      if (t == TestCpuUtilization) settings.runCpuUtilization = true;
      if (t == TestBurstRate) settings.runBurstRate = true;
      if (t == TestSpinUpDown) settings.runSpinUpDown = true;
    }
  }
  if (options.testLength) settings.testLength = *options.testLength;
  if (options.burstKb) settings.burstLengthKB = *options.burstKb;

  ResultsModel& results = app.results();
  results.texts.discTypeText = panel.typeText;
  results.texts.lengthText = panel.lengthText;
  TestSequencer* sequencer = &app.sequencer();
  EventChannel& channel = app.channel();

  printer.live = true;
  // Asked while the drive answers: after a failure or an interrupt it may not.
  const DriveFacts factsBefore = app.driveFacts(drive, drive);
  if (interrupt.interrupted()) {
    // Interrupted during the scan or the probe: nothing to stop, but the
    // files asked for are still written.
    writeOutputs(options, results, statusLog, factsBefore, "not started", false, app.clock());
    return 1;
  }
  // The watcher stops a run at once, even while the main thread waits on a
  // drive in the read-method probe.
  interrupt.onInterrupt([&] {
    sequencer->requestStop();
    std::fputs(kInterruptedText, stderr);
  });
  bool started = true;
  if (verbs.qualityCheck) {
    started = sequencer->startQualityCheck();
    if (!started) printError("the drive reports no C2 error information; give --yes to check anyway");
  } else {
    sequencer->runTest(*verbs.runTests == "selected" ? RunAllSelected : testIdByName(*verbs.runTests));
  }
  while (sequencer->busy()) {
    channel.pumpOne(std::chrono::milliseconds(50));
    // Stop only ever stops: a Start on an idle sequencer would begin a new run.
    if (interrupt.interrupted()) sequencer->requestStop();
  }
  interrupt.onInterrupt(nullptr);
  app.stopWorker([&] { channel.pumpOne(std::chrono::milliseconds(20)); });
  host.endProgress();
  printer.flush();
  if (!started) return 1;

  const std::string outcome = host.messages().empty() ? outcomeText(sequencer->lastOutcome()) : "not started";
  printPanels(results.texts);
  if (verbs.qualityCheck) printQualityMap(results.record);

  int exitCode = outcome == "completed" ? 0 : 1;
  if (verbs.qualityCheck) {
    // The check reads no TOC of its own: the disc facts are the probe's.
    results.record.discType = panel.kind;
    results.record.discLength = app.probe().storedLength();
  }
  DriveFacts facts = outcome == "completed" ? app.driveFacts(drive, drive) : factsBefore;
  if (options.saveDat) {
    const FileStatus saved = saveDatFile(*options.saveDat, results.record, facts);
    if (!saved.ok()) {
      printError(fileStatusText(saved));
      exitCode = 1;
    }
  }
  if (!writeOutputs(options, results, statusLog, facts, outcome, verbs.qualityCheck, app.clock())) exitCode = 1;
  if (options.graphSvg && !writeTextFile(*options.graphSvg, recordGraphSvg(settings, results.record, verbs.qualityCheck,
                                                                           app.probe().storedLength()))) {
    exitCode = 1;
  }
  return exitCode;
}

}  // namespace tmx::cli
