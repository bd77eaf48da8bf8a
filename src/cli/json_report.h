// Every result of a run, its samples and its status lines as one JSON text,
// for scripts that read the outcome of the headless front end.
#pragma once

#include <string>
#include <vector>

#include "results/drive_facts.h"
#include "results/result_texts.h"
#include "results/test_results.h"

namespace tmx::cli {

struct JsonReportInput {
  const TestResults& record;
  const ResultTexts& texts;
  const std::vector<std::string>& statusLines;
  const DriveFacts& drive;
  std::string outcome;  // "completed", "aborted", "cancelled", "loaded"
  bool qualityMap = false;
};

// Unmeasured values are null; samples stop at the first -1.0.
std::string formatJsonReport(const JsonReportInput& input);

}  // namespace tmx::cli
