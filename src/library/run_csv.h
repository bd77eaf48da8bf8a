// CSV of runs: a header row, then one row per run, one column per figure
// with its unit in the header; empty where not measured. Fields are quoted
// where they hold a comma, a quote or a line break (RFC 4180), lines end CR LF.
#pragma once

#include <span>
#include <string>

#include "library/stored_run.h"

namespace tmx {

std::string runsCsv(std::span<const StoredRun> runs);

}  // namespace tmx
