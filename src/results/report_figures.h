// A run's figures as rows of label, unit and value, in one order for every
// reporter that lists them (the report page, the comparison's table): a
// figure not measured has no value and reads "not measured".
//
//   for (const ReportFigure& f : reportFigures(report)) print(f.label, f.text);
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "results/run_report.h"

namespace tmx {

inline constexpr const char* kNotMeasured = "not measured";

struct ReportFigure {
  std::string label;             // "Average speed"
  std::string unit;              // "X", "ms", "%", "MB/s", "s", "" for a count or a word
  std::optional<double> value;   // nullopt: not measured, or a word ("CLV", "Yes")
  std::string text;              // "40.12 X", "CLV", "not measured"
  bool lowerIsBetter = false;    // seeks, CPU load, spin times, errors
  bool ofCheck = false;          // a figure of the quality check or read scan
};

// The transfer speeds, reading type, DAE, seeks, CPU load, burst, spin
// times and, for a check, its errors; the disc's own facts are not figures.
std::vector<ReportFigure> reportFigures(const RunReport& report);

// "40.12 X", "85 ms", "not measured": a value with its unit at the precision
// its figure is shown with (`decimals`).
std::string figureText(std::optional<double> value, const std::string& unit, int decimals);

}  // namespace tmx
