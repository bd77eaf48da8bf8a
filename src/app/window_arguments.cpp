#include "app/window_arguments.h"

#include <cstdlib>

namespace tmx {

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
  WindowArguments parsed;
  StartOptions& o = parsed.start;
  bool emulatedOnly = false, noEmulated = false;
  auto fail = [&](std::string message) {
    parsed.error = std::move(message);
    return parsed;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--version") {
      parsed.version = true;
    } else if (arg == "--emulated-only") {
      emulatedOnly = true;
    } else if (arg == "--no-emulated") {
      noEmulated = true;
    } else if (arg == "--virtual-time") {
      o.clock = ClockKind::Virtual;
    } else if (arg == "--time-scale") {
      char* end = nullptr;
      const char* text = hasValue ? args[i + 1].c_str() : "";
      const double factor = std::strtod(text, &end);
      if (!hasValue || end == text || *end != '\0' || !(factor >= 1.0 && factor <= 1e6)) {
        return fail("--time-scale needs a factor from 1 to 1000000");
      }
      ++i;
      o.clock = ClockKind::Scaled;
      o.timeScale = factor;
    } else if (arg == "--emulated-config") {
      if (!hasValue) return fail("--emulated-config needs a file");
      o.emulatedConfig = args[++i];
    } else if (arg == "--fault") {
      if (!hasValue) return fail("--fault needs a fault description");
      o.faults.push_back(args[++i]);
    } else {
      return fail("unknown option '" + arg + "'");
    }
  }
  if (emulatedOnly && noEmulated) return fail("--emulated-only and --no-emulated exclude each other");
  if (o.clock != ClockKind::Real && noEmulated) return fail("--virtual-time and --time-scale apply to emulated drives only");
  o.realDrives = !emulatedOnly;
  o.emulatedDrives = !noEmulated;
  return parsed;
}

std::string windowUsageText() {
  return R"(Usage: tachometrix [options]

Benchmark and diagnostics for CD-ROM drives.

  --emulated-only        list only the built-in emulated drives
  --no-emulated          list only real drives
  --virtual-time         emulated time does not sleep: runs as fast as possible
  --time-scale N         emulated time runs N times faster than real time
  --emulated-config FILE describe your own emulated drives (JSON)
  --fault SPEC           inject a fault into the first emulated drive (repeatable)
  --help, --version
)";
}

}  // namespace tmx
