// The desktop program's command line: the drive set-up options it shares with
// the headless program (--emulated-only, --no-emulated, --emulated-config,
// --virtual-time, --time-scale, --fault), plus --help and --version.
#pragma once

#include <string>
#include <vector>

#include "program/application.h"

namespace tmx {

struct WindowArguments {
  StartOptions start;
  bool help = false;
  bool version = false;
  std::string error;  // empty: parsed
};

// `args` without the program name. Options the toolkit consumed (-style,
// -platform) must be removed first.
WindowArguments parseWindowArguments(const std::vector<std::string>& args);
std::string windowUsageText();

}  // namespace tmx
