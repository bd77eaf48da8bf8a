// The headless program: owns the clock, the transport, the drive table and the
// status log, and carries out the verbs the options ask for.
#pragma once

#include "cli/cli_options.h"

namespace tmx::cli {

// Returns the process exit status: 0 done, 1 failed.
int runCli(const CliOptions& options);

}  // namespace tmx::cli
