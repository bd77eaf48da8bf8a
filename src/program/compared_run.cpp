#include "program/compared_run.h"

namespace tmx {

ComparedRun comparedRunOf(const StoredRun& run) {
  const RunSummary& s = run.summary;
  ComparedRun compared;
  compared.heading = "#" + std::to_string(s.id);
  // "2026-12-09T06:14:26Z" reads as "2026-12-09 06:14".
  std::string when = s.utcTime.substr(0, 16);
  if (when.size() > 10 && when[10] == 'T') when[10] = ' ';
  compared.label = compared.heading + " " + when + " " + s.drive + ", " + s.disc;
  compared.report = makeRunReport(run.record, s.outcome, s.kind == StoredRunKind::QualityCheck);
  return compared;
}

std::vector<CompareCurve> compareCurvesOf(const std::vector<ComparedRun>& runs) {
  std::vector<CompareCurve> curves;
  for (const ComparedRun& run : runs) {
    const Medium& m = run.report.medium;
    curves.push_back({run.label, m.kind, m.nominalGigabytes(), run.report.zones});
  }
  return curves;
}

}  // namespace tmx
