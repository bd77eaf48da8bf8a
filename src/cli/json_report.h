// Every result of a run, its samples and its status lines as one JSON text,
// for scripts that read the outcome of the headless front end.
#pragma once

#include <string>
#include <vector>

#include "results/drive_facts.h"
#include "results/run_report.h"

namespace tmx::cli {

struct JsonReportInput {
  const RunReport& report;
  const std::vector<std::string>& statusLines;
  const DriveFacts& drive;
};

// Unmeasured values are null; samples stop at the first zone not measured.
// The drive's texts lose the blanks that pad their fields.
std::string formatJsonReport(const JsonReportInput& input);

}  // namespace tmx::cli
