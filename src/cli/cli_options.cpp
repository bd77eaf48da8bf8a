#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "engine/measurement_table.h"

namespace tmx::cli {
namespace {

std::optional<int> parseInt(const std::string& text, int min, int max) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

// Options without a value, and the member each sets.
struct Flag {
  std::string_view name;
  bool CliOptions::*member;
};
constexpr Flag kFlags[] = {
    {"--help", &CliOptions::help},          {"-h", &CliOptions::help},
    {"--version", &CliOptions::version},    {"--list", &CliOptions::list},
    {"--probe", &CliOptions::probe},        {"--emulated-only", &CliOptions::emulatedOnly},
    {"--no-emulated", &CliOptions::noEmulated}, {"--quality-check", &CliOptions::qualityCheck},
    {"--yes", &CliOptions::yes},            {"--drive-check", &CliOptions::driveCheck},
    {"--no-library", &CliOptions::noLibrary}, {"--history", &CliOptions::history},
    {"--ripping-features", &CliOptions::rippingFeatures}, {"--overread", &CliOptions::overread},
    {"--ripping-history", &CliOptions::rippingHistory},
};

// Options whose value is a file.
struct FileOption {
  std::string_view name;
  std::optional<std::string> CliOptions::*member;
};
constexpr FileOption kFileOptions[] = {
    {"--emulated-config", &CliOptions::emulatedConfig}, {"--save-log", &CliOptions::saveLog},
    {"--load-dat", &CliOptions::loadDat},               {"--save-dat", &CliOptions::saveDat},
    {"--save-report", &CliOptions::saveReport},         {"--save-status", &CliOptions::saveStatus},
    {"--json", &CliOptions::json},                      {"--graph-svg", &CliOptions::graphSvg},
    {"--save-html", &CliOptions::saveHtml},
    {"--library", &CliOptions::library},                {"--export-runs", &CliOptions::exportRuns},
    {"--export-csv", &CliOptions::exportCsv},
};

std::string testNames() {
  std::string names;
  for (const MeasurementInfo& m : kMeasurements) names += ", " + std::string(m.cliName);
  return names;
}

// "transfer,seek" as test ids; the error text for an unknown name.
std::string parseSelection(const std::string& list, std::vector<int>& tests) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string name = list.substr(start, comma - start);
    if (!name.empty()) {
      const int id = testIdByName(name);
      if (id < 0) return "--select: unknown test '" + name + "'";
      tests.push_back(id);
    }
    start = comma + 1;
  }
  return {};
}

// "3,12,7" as run ids.
std::optional<std::vector<int64_t>> parseIds(const std::string& list) {
  std::vector<int64_t> ids;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    int64_t id = 0;
    const char* first = list.data() + start;
    const char* last = list.data() + comma;
    const auto [end, ec] = std::from_chars(first, last, id);
    if (ec != std::errc() || end != last || id < 1) return std::nullopt;
    ids.push_back(id);
    start = comma + 1;
  }
  return ids;
}

// The results library's options with a value.
std::string parseLibraryValued(const std::string& arg, const std::optional<std::string>& v, CliOptions& o) {
  if (arg == "--show-run") {
    const auto ids = v ? parseIds(*v) : std::nullopt;
    if (!ids || ids->size() != 1) return "--show-run needs a run's id (see --history)";
    o.showRun = ids->front();
  } else if (arg == "--show-ripping") {
    const auto ids = v ? parseIds(*v) : std::nullopt;
    if (!ids || ids->size() != 1) return "--show-ripping needs a ripping check's id (see --ripping-history)";
    o.showRipping = ids->front();
  } else if (arg == "--compare") {
    o.compareRuns = v ? parseIds(*v) : std::nullopt;
    if (!o.compareRuns || o.compareRuns->size() < 2 || o.compareRuns->size() > 8) {
      return "--compare needs 2 to 8 run ids such as 3,12 (see --history)";
    }
  } else if (arg == "--runs") {
    o.runIds = v ? parseIds(*v) : std::nullopt;
    if (!o.runIds) return "--runs needs run ids such as 3,12,7 (see --history)";
  } else if (arg == "--import-runs") {
    if (!v) return "--import-runs needs a file";
    o.importRuns.push_back(*v);
  } else if (arg == "--library-wait") {
    o.libraryWaitMs = v ? parseInt(*v, 0, 600'000) : std::nullopt;
    if (!o.libraryWaitMs) return "--library-wait needs milliseconds from 0 to 600000";
  } else {
    return "unknown option '" + arg + "'";
  }
  return {};
}

// The options that take a value of their own kind.
std::string parseValued(const std::string& arg, const std::optional<std::string>& v, CliOptions& o) {
  if (arg == "--drive") {
    if (!v) return "--drive needs a drive number or H:T";
    if (!parseDriveSelector(*v)) return "--drive: '" + *v + "' is neither a number 0-127 nor H:T";
    o.drive = *v;
  } else if (arg == "--time-scale") {
    char* end = nullptr;
    const double factor = v ? std::strtod(v->c_str(), &end) : 0.0;
    if (!v || end == v->c_str() || *end != '\0' || !(factor >= 1.0 && factor <= 1e6)) {
      return "--time-scale needs a factor from 1 to 1000000";
    }
    o.timeMode = TimeMode::Scaled;
    o.timeScale = factor;
  } else if (arg == "--fault") {
    if (!v) return "--fault needs a fault description";
    o.faults.push_back(*v);
  } else if (arg == "--select") {
    if (!v) return "--select needs a list such as transfer,seek";
    std::vector<int> tests;
    if (std::string error = parseSelection(*v, tests); !error.empty()) return error;
    o.select = tests;
  } else if (arg == "--test-length") {
    o.testLength = v ? parseInt(*v, 1, 6) : std::nullopt;
    if (!o.testLength) return "--test-length needs a number from 1 to 6";
  } else if (arg == "--burst-kb") {
    o.burstKb = v ? parseInt(*v, 2, 384) : std::nullopt;
    if (!o.burstKb) return "--burst-kb needs a number from 2 to 384";
  } else {
    return parseLibraryValued(arg, v, o);
  }
  return {};
}

// The option at args[i], with its value when it takes one (i moves past it).
std::string parseOne(const std::vector<std::string>& args, size_t& i, CliOptions& o) {
  const std::string& arg = args[i];
  for (const Flag& flag : kFlags) {
    if (arg == flag.name) {
      o.*flag.member = true;
      return {};
    }
  }
  if (arg == "--virtual-time") {
    o.timeMode = TimeMode::Virtual;
    return {};
  }
  if (arg == "--run") {
    // The test name is optional: "--run" alone runs the selected tests.
    std::string what = "selected";
    if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) what = args[++i];
    if (what != "selected" && testIdByName(what) < 0) {
      return "--run: unknown test '" + what + "' (selected" + testNames() + ")";
    }
    o.runTests = what;
    return {};
  }
  const std::optional<std::string> value = i + 1 < args.size() ? std::optional(args[++i]) : std::nullopt;
  for (const FileOption& file : kFileOptions) {
    if (arg == file.name) {
      if (!value) return arg + " needs a file";
      o.*file.member = value;
      return {};
    }
  }
  return parseValued(arg, value, o);
}

// The commands on the ripping checks kept; empty when they fit.
std::string checkRippingLibraryCombinations(const CliOptions& o) {
  if (!o.rippingHistory && !o.showRipping) return {};
  if (o.noLibrary) return "--no-library leaves no results library for --ripping-history or --show-ripping";
  if (o.runTests || o.qualityCheck || o.loadDat || o.driveCheck || o.rippingFeatures || o.list || o.probe) {
    return "--ripping-history and --show-ripping work on the results library alone";
  }
  if (!o.showRipping) return {};
  if (o.showRun || o.compareRuns) return "--show-ripping shows one ripping check, without --show-run or --compare";
  if (o.saveReport || o.saveStatus || o.graphSvg || o.saveHtml) {
    return "--show-ripping prints a kept ripping check; of the files, only --json (its \"ripping\" object) applies";
  }
  return {};
}

// The library's commands stand alone; empty when they fit.
std::string checkLibraryCombinations(const CliOptions& o) {
  if (o.library && o.noLibrary) return "--library and --no-library exclude each other";
  if (std::string error = checkRippingLibraryCombinations(o); !error.empty()) return error;
  if (o.runIds && !o.exportRuns && !o.exportCsv) return "--runs chooses the runs of --export-runs or --export-csv";
  if (!o.libraryCommand()) return {};
  if (o.noLibrary) return "--no-library leaves no results library for --history, --show-run or the exports";
  if (o.runTests || o.qualityCheck || o.loadDat || o.driveCheck || o.rippingFeatures || o.list || o.probe) {
    return "--history, --show-run, --compare, --export-runs, --import-runs and --export-csv work on the results library "
           "alone";
  }
  if (o.compareRuns && (o.showRun || o.saveReport || o.json || o.saveStatus || o.saveHtml)) {
    return "--compare prints the runs side by side; of the files, only --graph-svg (their curves) applies";
  }
  if (!o.showRun && !o.compareRuns && !o.showRipping &&
      (o.saveReport || o.json || o.graphSvg || o.saveStatus || o.saveHtml)) {
    return "--save-report, --save-status, --json, --graph-svg and --save-html apply to --show-run of the library's "
           "commands";
  }
  return {};
}

// Options that exclude or need each other; empty when they fit.
std::string checkCombinations(const CliOptions& o) {
  if (std::string error = checkLibraryCombinations(o); !error.empty()) return error;
  if (o.emulatedOnly && o.noEmulated) return "--emulated-only and --no-emulated exclude each other";
  if (o.runTests && o.qualityCheck) return "--run and --quality-check are separate commands";
  if (o.loadDat && (o.runTests || o.qualityCheck)) return "--load-dat shows a saved run; it cannot be combined with a run";
  if (o.driveCheck && (o.runTests || o.qualityCheck || o.loadDat)) {
    return "--drive-check is a command of its own; it cannot be combined with a run or --load-dat";
  }
  if (o.rippingFeatures && (o.runTests || o.qualityCheck || o.loadDat || o.driveCheck)) {
    return "--ripping-features is a command of its own; it cannot be combined with a run, --drive-check or --load-dat";
  }
  if (o.overread && !o.rippingFeatures) return "--overread belongs to --ripping-features";
  if (o.saveLog && !o.driveCheck) return "--save-log saves the report of --drive-check";
  if (o.saveDat && !o.runTests) return "--save-dat saves the results of --run";
  if (o.graphSvg && !o.runTests && !o.qualityCheck && !o.loadDat && !o.showRun && !o.compareRuns) {
    return "--graph-svg draws the results of --run, --quality-check, --load-dat, --show-run or --compare";
  }
  if (o.saveHtml && !o.runTests && !o.qualityCheck && !o.loadDat && !o.showRun) {
    return "--save-html writes the page of --run, --quality-check, --load-dat or --show-run";
  }
  if (o.timeMode != TimeMode::Real && o.noEmulated) {
    return "--virtual-time and --time-scale apply to emulated drives only";
  }
  return {};
}

}  // namespace

int testIdByName(const std::string& name) {
  const MeasurementInfo* m = measurementNamed(name);
  return m ? m->id : -1;
}

std::optional<DriveSelector> parseDriveSelector(const std::string& text) {
  DriveSelector selector;
  const auto colon = text.find(':');
  if (colon == std::string::npos) {
    const auto index = parseInt(text, 0, 127);
    if (!index) return std::nullopt;
    selector.index = *index;
    return selector;
  }
  const auto host = parseInt(text.substr(0, colon), 0, 7);
  const auto target = parseInt(text.substr(colon + 1), 0, 15);
  if (!host || !target) return std::nullopt;
  selector.byAddress = true;
  selector.hostAdapter = *host;
  selector.target = *target;
  return selector;
}

ParsedOptions parseCliOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  for (size_t i = 0; i < args.size() && parsed.error.empty(); ++i) parsed.error = parseOne(args, i, parsed.options);
  if (parsed.error.empty()) parsed.error = checkCombinations(parsed.options);
  return parsed;
}

std::string usageText() {
  return R"(Usage: tachometrix-cli [options]

Benchmark and diagnostics for CD-ROM drives, without a window.

Drives:
  --list                 list the CD-ROM drives found, one line each
  --drive N | H:T        use drive N of the list (from 0) or host adapter H, target T
  --probe                show the disc's type and length as the disc panel does
  --emulated-only        scan only the built-in emulated drives
  --no-emulated          scan only real drives

Emulated drives:
  --virtual-time         emulated time does not sleep: runs as fast as possible
  --time-scale N         emulated time runs N times faster than real time
  --emulated-config FILE describe your own emulated drives (JSON)
  --fault SPEC           inject a fault into the selected emulated drive

Tests:
  --run [TEST]           run the selected tests (as Start), or one test:
                         transfer, dae, seek, cpu, burst, spin
  --select LIST          tests for this run, e.g. transfer,seek,cpu (not saved)
  --test-length N        1 to 6: each point of the disc reads 1/N of the data (not saved)
  --burst-kb N           burst read length, 2 to 384 KB (not saved)
  --quality-check        read every sector with C2 error information and map the errors
  --yes                  go on when the drive says it cannot report C2 errors

Drive check:
  --drive-check          report what the system, the drive and the disc say about themselves,
                         for the drive of --drive or for every drive (sets the read speed)
  --save-log FILE        write the drive check report as an aligned log

Ripping features:
  --ripping-features     is the drive fit for secure audio extraction: which read commands
                         return audio with C2 and sub-channel, its audio cache, accurate
                         stream, whether its C2 pointers are true, speed control; a verdict
  --overread             also read into the lead-in and lead-out (up to 100 sectors each;
                         some firmware hangs there)

Results:
  --save-dat FILE        save the run's results as a DAT file
  --load-dat FILE        show the results of a DAT file
  --save-report FILE     write the text report of the run, the loaded file or
                         --ripping-features
  --save-status FILE     write the status lines
  --json FILE            every result, the samples and the status lines as JSON
                         (with --drive-check: the report lines; with --ripping-features:
                         a "ripping" object)
  --graph-svg FILE       the speed graph (or the quality check's error map) as SVG
  --save-html FILE       the results as one self-contained HTML page, for sharing or printing

Results library (every run that measured something and every ripping features check are
kept in $XDG_DATA_HOME/tachometrix/results.sqlite, by default ~/.local/share/tachometrix/):
  --library FILE         keep and read runs in FILE instead
  --no-library           record nothing
  --library-wait MS      how long to wait for a library another program holds (default 5000)
  --history              one line per run: id, date, drive, disc, main figures
  --show-run ID          show a kept run as --load-dat does; --json, --save-report,
                         --save-status, --graph-svg and --save-html apply to it
  --export-runs FILE     write the runs as a JSON bundle that another library imports
  --compare ID,ID,...    2 to 8 kept runs' figures side by side, each with its difference
                         to the first; --graph-svg draws their curves overlaid
  --runs ID,...          the runs --export-runs and --export-csv take (default: all)
  --import-runs FILE     add the runs of a bundle or a DAT file (a CD run); may be repeated
  --export-csv FILE      one row per run, one column per figure
  --ripping-history      one line per ripping features check kept: id, date, drive, disc, verdict
  --show-ripping ID      show a kept ripping features check as it was printed; --json writes
                         its "ripping" object

Other:
  --help                 this text
  --version              the program's version

Status lines print as "[HH:MM:SS]   text" as they come. Ctrl-C, SIGTERM, SIGHUP and a
closed stdout act as Stop: the run ends with "Test cancelled by user" and the files asked
for are still written; a signal during those saves gives up the files not written yet.
Exit status: 0 done, 1 failed, aborted or cancelled, 2 usage error.
)";
}

}  // namespace tmx::cli
