// The report page: one self-contained HTML file of a run (no external
// resources, the graph as inline SVG) with the drive, the disc, every figure
// with its unit, the status lines and the drive check when one was made,
// styled to read well on screen and on paper. Every text from a drive or a
// file is escaped.
//
//   const std::string html = reportPageHtml(reportPageOf(storedRun, settings));
#pragma once

#include <string>
#include <vector>

#include "library/stored_run.h"
#include "results/app_settings.h"
#include "results/drive_facts.h"
#include "results/run_report.h"

namespace tmx {

struct ReportPageInput {
  std::string programVersion;
  std::string utcTime;  // "2026-12-09T06:14:26Z"; empty when not known
  StoredDrive drive;    // an empty vendor and product: no drive (a loaded file)
  StoredDisc disc;
  RunReport report;
  std::vector<std::string> statusLines;
  std::vector<std::string> driveCheck;  // empty when none was made
  std::string graphSvg;                 // an SVG document; empty leaves the graph out
};

std::string reportPageHtml(const ReportPageInput& page);

// The page of a stored run, its graph drawn from its record.
ReportPageInput reportPageOf(const StoredRun& run, const AppSettings& settings);

// The page of the run in memory (or a loaded file): the drive from its
// INQUIRY texts, the disc from the record's report.
struct LiveRunPage {
  const TestResults& record;
  RunOutcome outcome = RunOutcome::None;
  bool qualityCheck = false;
  int32_t qualityLength = 0;  // sectors the check read, for its graph's end marker
  const DriveFacts& drive;
  const std::vector<std::string>& statusLines;
  std::string programVersion;
  std::string utcTime;
  std::vector<std::string> driveCheck;  // the drive check made of this drive, if any
};
ReportPageInput reportPageOf(const LiveRunPage& run, const AppSettings& settings);

// The disc as the page and the library's list name it: "CD audio 74:00.00",
// "DVD+R DL 8.55 GB", "DVD" when nothing more is known.
std::string discDescription(const StoredDisc& disc);
// The disc of a record's report (medium, profile, type, length).
StoredDisc storedDiscOf(const RunReport& report);
// "%s %s %s" of the trimmed INQUIRY texts.
StoredDrive storedDriveOf(const DriveFacts& facts);

}  // namespace tmx
