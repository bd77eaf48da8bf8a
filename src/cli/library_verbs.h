// The CLI's commands on the results library: --import-runs, --export-runs,
// --export-csv, --history, --ripping-history, --show-ripping and --show-run
// (or --compare), in that order when several are given. No drive is opened.
#pragma once

#include "cli/cli_options.h"
#include "cli/interrupt_poll.h"
#include "program/application.h"

namespace tmx::cli {

// The process exit status: 0 done, 1 failed (each failure printed).
int runLibraryCommands(const CliOptions& options, Application& app, InterruptPoll& interrupt);

// One line of --history: "  12  2026-12-09 06:14  DRIVE  DISC  25.0X avg, seeks 85/120/170 ms, DAE 9, burst
// 12 MB/s, completed"; figures not measured are left out.
std::string historyLine(const RunSummary& run);

// One line of --ripping-history: "   12  2026-12-09 06:14  DRIVE  DISC  VERDICT", with " (stopped)" after a
// check that Stop ended.
std::string rippingHistoryLine(const RippingCheckSummary& check);

}  // namespace tmx::cli
