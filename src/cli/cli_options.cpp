#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace tmx::cli {
namespace {

std::optional<int> parseInt(const std::string& text, int min, int max) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace

int testIdByName(const std::string& name) {
  static const char* const kNames[] = {"transfer", "dae", "seek", "cpu", "burst", "spin"};
  for (int id = 0; id < 6; ++id) {
    if (name == kNames[id]) return id;
  }
  return -1;
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
  CliOptions& o = parsed.options;
  auto fail = [&](std::string message) {
    parsed.error = std::move(message);
    return parsed;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--list") {
      o.list = true;
    } else if (arg == "--probe") {
      o.probe = true;
    } else if (arg == "--emulated-only") {
      o.emulatedOnly = true;
    } else if (arg == "--no-emulated") {
      o.noEmulated = true;
    } else if (arg == "--virtual-time") {
      o.timeMode = TimeMode::Virtual;
    } else if (arg == "--drive") {
      auto v = value();
      if (!v) return fail("--drive needs a drive number or H:T");
      if (!parseDriveSelector(*v)) return fail("--drive: '" + *v + "' is neither a number 0-127 nor H:T");
      o.drive = *v;
    } else if (arg == "--time-scale") {
      auto v = value();
      char* end = nullptr;
      const double factor = v ? std::strtod(v->c_str(), &end) : 0.0;
      if (!v || end == v->c_str() || *end != '\0' || !(factor >= 1.0 && factor <= 1e6)) {
        return fail("--time-scale needs a factor from 1 to 1000000");
      }
      o.timeMode = TimeMode::Scaled;
      o.timeScale = factor;
    } else if (arg == "--emulated-config") {
      auto v = value();
      if (!v) return fail("--emulated-config needs a file");
      o.emulatedConfig = *v;
    } else if (arg == "--fault") {
      auto v = value();
      if (!v) return fail("--fault needs a fault description");
      o.faults.push_back(*v);
    } else if (arg == "--run") {
      // The test name is optional: "--run" alone runs the selected tests.
      std::string what = "selected";
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) what = args[++i];
      if (what != "selected" && testIdByName(what) < 0) {
        return fail("--run: unknown test '" + what + "' (selected, transfer, dae, seek, cpu, burst, spin)");
      }
      o.runTests = what;
    } else if (arg == "--select") {
      auto v = value();
      if (!v) return fail("--select needs a list such as transfer,seek");
      std::vector<int> tests;
      size_t start = 0;
      while (start <= v->size()) {
        const size_t comma = std::min(v->find(',', start), v->size());
        const std::string name = v->substr(start, comma - start);
        if (!name.empty()) {
          const int id = testIdByName(name);
          if (id < 0) return fail("--select: unknown test '" + name + "'");
          tests.push_back(id);
        }
        start = comma + 1;
      }
      o.select = tests;
    } else if (arg == "--test-length") {
      auto v = value();
      const auto n = v ? parseInt(*v, 1, 6) : std::nullopt;
      if (!n) return fail("--test-length needs a number from 1 to 6");
      o.testLength = n;
    } else if (arg == "--burst-kb") {
      auto v = value();
      const auto n = v ? parseInt(*v, 2, 384) : std::nullopt;
      if (!n) return fail("--burst-kb needs a number from 2 to 384");
      o.burstKb = n;
    } else if (arg == "--quality-check") {
      o.qualityCheck = true;
    } else if (arg == "--yes") {
      o.yes = true;
    } else if (arg == "--drive-check") {
      o.driveCheck = true;
    } else if (arg == "--save-log") {
      auto v = value();
      if (!v) return fail("--save-log needs a file");
      o.saveLog = v;
    } else if (arg == "--load-dat" || arg == "--save-dat" || arg == "--save-report" || arg == "--save-status" ||
               arg == "--json" || arg == "--graph-svg") {
      auto v = value();
      if (!v) return fail(arg + " needs a file");
      if (arg == "--load-dat") o.loadDat = v;
      if (arg == "--save-dat") o.saveDat = v;
      if (arg == "--save-report") o.saveReport = v;
      if (arg == "--save-status") o.saveStatus = v;
      if (arg == "--json") o.json = v;
      if (arg == "--graph-svg") o.graphSvg = v;
    } else {
      return fail("unknown option '" + arg + "'");
    }
  }
  if (o.emulatedOnly && o.noEmulated) return fail("--emulated-only and --no-emulated exclude each other");
  if (o.runTests && o.qualityCheck) return fail("--run and --quality-check are separate commands");
  if (o.loadDat && (o.runTests || o.qualityCheck)) return fail("--load-dat shows a saved run; it cannot be combined with a run");
  if (o.driveCheck && (o.runTests || o.qualityCheck || o.loadDat)) {
    return fail("--drive-check is a command of its own; it cannot be combined with a run or --load-dat");
  }
  if (o.saveLog && !o.driveCheck) return fail("--save-log saves the report of --drive-check");
  if (o.saveDat && !o.runTests) return fail("--save-dat saves the results of --run");
  if (o.graphSvg && !o.runTests && !o.qualityCheck && !o.loadDat) {
    return fail("--graph-svg draws the results of --run, --quality-check or --load-dat");
  }
  if (o.timeMode != TimeMode::Real && o.noEmulated) {
    return fail("--virtual-time and --time-scale apply to emulated drives only");
  }
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

Results:
  --save-dat FILE        save the run's results as a DAT file
  --load-dat FILE        show the results of a DAT file
  --save-report FILE     write the text report of the run or the loaded file
  --save-status FILE     write the status lines
  --json FILE            every result, the samples and the status lines as JSON
                         (with --drive-check: the report lines)
  --graph-svg FILE       the speed graph (or the quality check's error map) as SVG

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
