// The report page's input from a stored run or from the run in memory.
#include "drive/disc_probe.h"
#include "drive/drive_discovery.h"
#include "program/graph_svg.h"
#include "program/report_page.h"

namespace tmx {

std::string discDescription(const StoredDisc& disc) {
  std::string out = disc.profile.empty() ? (disc.medium.empty() ? "CD" : disc.medium) : disc.profile;
  const bool cd = disc.medium.empty() || disc.medium == "CD";
  static constexpr const char* kTypes[] = {"data", "audio", "mixed"};
  if (cd && disc.type >= 0 && disc.type <= 2) out += std::string(" ") + kTypes[disc.type];
  if (disc.lengthSectors > 0) {
    Medium m;
    m.capacitySectors = disc.lengthSectors;
    out += " " + (cd ? FormatDiscTime(static_cast<long>(disc.lengthSectors)) : mediumLengthText(m));
  }
  return out;
}

StoredDisc storedDiscOf(const RunReport& report) {
  StoredDisc disc;
  disc.medium = mediumName(report.medium.kind);
  disc.profile = report.medium.profileName;
  if (report.medium.kind == MediumKind::CD) {
    disc.type = report.discType.value_or(-1);
    disc.lengthSectors = report.discLengthSectors.value_or(-1);
  } else {
    disc.lengthSectors = report.medium.capacitySectors > 0 ? report.medium.capacitySectors : -1;
  }
  return disc;
}

StoredDrive storedDriveOf(const DriveFacts& facts) {
  return {TrimTrailingBlanks(facts.vendor),
          TrimTrailingBlanks(facts.product),
          TrimTrailingBlanks(facts.revision),
          {},
          {},
          {},
          false};
}

ReportPageInput reportPageOf(const StoredRun& run, const AppSettings& settings) {
  const bool check = run.summary.kind == StoredRunKind::QualityCheck;
  ReportPageInput page;
  page.programVersion = run.programVersion;
  page.utcTime = run.summary.utcTime;
  page.drive = run.drive;
  page.disc = run.disc;
  page.report = makeRunReport(run.record, run.summary.outcome, check);
  page.statusLines = run.statusLines;
  page.driveCheck = run.driveCheck;
  const int32_t length = run.disc.lengthSectors > 0 ? static_cast<int32_t>(run.disc.lengthSectors) : 0;
  page.graphSvg = recordGraphSvg(settings, run.record, check, length);
  return page;
}

ReportPageInput reportPageOf(const LiveRunPage& run, const AppSettings& settings) {
  ReportPageInput page;
  page.programVersion = run.programVersion;
  page.utcTime = run.utcTime;
  page.drive = storedDriveOf(run.drive);
  page.report = makeRunReport(run.record, run.outcome, run.qualityCheck);
  page.disc = storedDiscOf(page.report);
  page.statusLines = run.statusLines;
  page.driveCheck = run.driveCheck;
  page.graphSvg = recordGraphSvg(settings, run.record, run.qualityCheck, run.qualityLength);
  return page;
}

}  // namespace tmx
