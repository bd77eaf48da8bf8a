// The text report: the panel texts as labelled lines, label and value
// separated by a tab, "N/A" for an empty text, every line ended by CR LF.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

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

// The ripping-features check's text lines as a section of the report: the
// first line its heading, the others as they are; "" for no lines.
std::string rippingReportSection(const std::vector<std::string>& lines);

// The report of a ripping-features check alone: the drive, the disc's type
// and length, and the check's section.
std::string formatRippingReport(const DriveFacts& drive, const std::string& discType, const std::string& length,
                                const std::vector<std::string>& lines, const ReportTime& when);

// Formats the report of the record's run, as the panels show it, at the
// clock's current time and writes it atomically; `rippingLines`, when
// given, follow as the ripping-features section. On failure the error is
// saveErrorMessage's text and an existing file is left as it was.
FileStatus saveTextReport(const std::filesystem::path& path, const ResultTexts& texts, const TestResults& results,
                          const DriveFacts& drive, Clock& clock, const WriteControl& control = {},
                          const std::vector<std::string>& rippingLines = {});

}  // namespace tmx
