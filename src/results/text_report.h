// The text report: the panel texts as labelled lines, label and value
// separated by a tab, "N/A" for an empty text, every line ended by CR LF.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "results/drive_facts.h"
#include "results/file_messages.h"
#include "results/result_texts.h"
#include "results/run_report.h"
#include "results/test_results.h"

namespace tmx {

struct ReportTime {
  std::string date;  // "dd MMMM yyyy": day, month name of the locale, year
  std::string time;  // "H:mm:ss"
};

// The UTC time `now` with the month name of `localeName`'s LC_TIME; "" means
// the user's environment, and an unknown locale falls back to "C".
ReportTime reportTime(std::time_t now, const char* localeName = "");

// The report's 32 entries (the spin times from the run's report, the rest
// the panels' texts), CR LF line ends.
std::string formatTextReport(const ResultTexts& texts, const RunReport& report, const DriveFacts& drive,
                             const ReportTime& when);

// Formats the report of the record's run, as the panels show it, at the
// clock's current time and writes it atomically. On failure the error is
// saveErrorMessage's text and an existing file is left as it was.
FileStatus saveTextReport(const std::filesystem::path& path, const ResultTexts& texts, const TestResults& results,
                          const DriveFacts& drive, Clock& clock, const WriteControl& control = {});

}  // namespace tmx
