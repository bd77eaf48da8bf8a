#include "results/text_report.h"

#include <locale.h>

#include <string_view>
#include <utility>

#include "platform/atomic_file.h"
#include "results/format_string.h"
#include "results/safe_text.h"

namespace tmx {
namespace {

class ReportWriter {
 public:
  // A result text: "Label\tvalue", "N/A" for an empty value. `blankLines`
  // extra line ends follow the line.
  void entry(std::string_view label, std::string_view value, int blankLines = 0) {
    field(label, value.empty() ? std::string_view("N/A") : value, blankLines);
  }
  // The drive's own texts print blanks and all, made safe for a terminal.
  void field(std::string_view label, std::string_view value, int blankLines = 0) {
    text_ += label;
    text_ += '\t';
    text_ += safeText(value);
    end(blankLines);
  }
  // A heading ends with two tabs.
  void heading(std::string_view label, int blankLines = 0) {
    text_ += label;
    text_ += "\t\t";
    end(blankLines);
  }
  std::string take() { return std::move(text_); }

 private:
  void end(int blankLines) {
    for (int i = 0; i <= blankLines; ++i) text_ += "\r\n";
  }
  std::string text_;
};

std::string spinText(const std::optional<double>& seconds) {
  return seconds ? formatString("%4.2f sec", *seconds) : std::string();
}

void writeHead(ReportWriter& w, const DriveFacts& drive, const ReportTime& when) {
  w.heading("Tachometrix", 1);
  w.heading(when.date + " - " + when.time, 1);
  w.heading("CD-ROM drive information");
  w.field("Vendor", drive.vendor);
  w.field("Product", drive.product);
  w.field("Firmware Version", drive.revision, 1);
}

}  // namespace

ReportTime reportTime(std::time_t now, const char* localeName) {
  std::tm utc{};
  gmtime_r(&now, &utc);

  locale_t locale = newlocale(LC_TIME_MASK, localeName, locale_t{});
  if (!locale) locale = newlocale(LC_TIME_MASK, "C", locale_t{});
  char date[100] = "";
  if (locale) {
    if (strftime_l(date, sizeof date, "%d %B %Y", &utc, locale) == 0) date[0] = '\0';
    freelocale(locale);
  }
  return {date, formatString("%d:%02d:%02d", utc.tm_hour, utc.tm_min, utc.tm_sec)};
}

std::string formatTextReport(const ResultTexts& t, const RunReport& r, const DriveFacts& drive,
                             const ReportTime& when) {
  ReportWriter w;
  writeHead(w, drive, when);
  w.heading(r.medium.kind == MediumKind::CD ? "CD information" : "Disc information");
  w.entry("Type", t.discTypeText);
  w.entry("Length", t.lengthText, 1);
  w.heading("Test results", 1);
  w.heading("Transfer rate");
  w.entry("Average", t.averageText);
  w.entry("Start", t.startText);
  w.entry("End", t.endText);
  w.entry("Reading type", t.readingTypeText, 1);
  w.heading("DAE quality");
  w.entry("Score", t.daeScoreText);
  w.entry("Accurate stream", t.accurateStreamBox ? "Yes" : "No", 1);
  w.heading("Seek times");
  w.entry("Random", t.randomSeekText);
  w.entry("1/3 Seek", t.oneThirdSeekText);
  w.entry("Full", t.fullSeekText, 1);
  w.heading("CPU usage");
  w.entry("1X", t.cpuTexts[0]);
  w.entry("2X", t.cpuTexts[1]);
  w.entry("4X", t.cpuTexts[2]);
  w.entry("8X", t.cpuTexts[3], 1);
  w.heading("Interface");
  w.entry("Burst rate", t.burstText, 1);
  w.heading("Spinup/Spindown Time");
  w.entry("Spinup Time", spinText(r.spinUpSeconds));
  w.entry("Spindown Time", spinText(r.spinDownSeconds), 1);
  return w.take();
}

std::string rippingReportSection(const std::vector<std::string>& lines) {
  if (lines.empty()) return {};
  std::string text = safeText(lines.front()) + "\t\t\r\n";
  for (size_t i = 1; i < lines.size(); ++i) text += safeText(lines[i]) + "\r\n";
  return text + "\r\n";
}

std::string formatRippingReport(const DriveFacts& drive, const std::string& discType, const std::string& length,
                                const std::vector<std::string>& lines, const ReportTime& when) {
  ReportWriter w;
  writeHead(w, drive, when);
  w.heading("CD information");
  w.entry("Type", discType);
  w.entry("Length", length, 1);
  return w.take() + rippingReportSection(lines);
}

FileStatus saveTextReport(const std::filesystem::path& path, const ResultTexts& texts, const TestResults& results,
                          const DriveFacts& drive, Clock& clock, const WriteControl& control,
                          const std::vector<std::string>& rippingLines) {
  // The spin times are the record's, whatever else a load replaced.
  const RunReport run = makeRunReport(results, RunOutcome::None);
  // The medium, for the heading of its section.
  const std::string report = formatTextReport(texts, run, drive, reportTime(clock.wallTime())) +
                             rippingReportSection(rippingLines);
  const int error = writeFileAtomically(path, report, control);
  if (error != 0) return {saveErrorMessage(path, error), error};
  return {};
}

}  // namespace tmx
