// One run of a comparison: how the table's column and the legend name it,
// and its report. Made from a stored run or from any record and labels.
#pragma once

#include <string>
#include <vector>

#include "library/stored_run.h"
#include "program/compare_graph.h"
#include "results/run_report.h"

namespace tmx {

struct ComparedRun {
  std::string heading;  // the table's column: "#12"
  std::string label;    // the legend: "#12 2026-12-09 06:14 VENDOR PRODUCT 1.0, CD audio 74:00.00"
  RunReport report;
};

// Heading and label from the run's id, time, drive and disc.
ComparedRun comparedRunOf(const StoredRun& run);

// The curves of the runs' transfer zones, in their order.
std::vector<CompareCurve> compareCurvesOf(const std::vector<ComparedRun>& runs);

}  // namespace tmx
