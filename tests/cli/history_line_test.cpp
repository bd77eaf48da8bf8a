#include <gtest/gtest.h>

#include "cli/library_verbs.h"

namespace tmx::cli {
namespace {

TEST(HistoryLine, MainFiguresOfARunAndOnlyThoseMeasured) {
  RunSummary run{12, "2026-12-09T06:14:26Z", StoredRunKind::Run, "ABC CDROM 40X 1.0a", "CD audio 74:00.00", 25.004,
                 85, std::nullopt, 170, 9, 12, RunOutcome::Aborted};
  EXPECT_EQ(historyLine(run),
            "   12  2026-12-09 06:14  ABC CDROM 40X 1.0a  CD audio 74:00.00  25.00X average, seeks 85/N/A/170 ms, "
            "DAE 9, burst 12 MB/s, aborted");
  RunSummary scan{123456, "2026-12-08T22:00:00Z", StoredRunKind::QualityCheck, "XYZ DVDRW 2.00", "DVD-R 4.71 GB"};
  scan.outcome = RunOutcome::Completed;
  EXPECT_EQ(historyLine(scan), "123456  2026-12-08 22:00  XYZ DVDRW 2.00  DVD-R 4.71 GB  quality check  completed");
}

TEST(HistoryLine, RippingCheckWithItsVerdictAndAStopSaid) {
  RippingCheckSummary check{3, "2026-12-09T07:05:59Z", false, "ABC CDROM 40X 1.0a", "CD audio 74:00.00",
                            "No audio cache; C2 pointers reliable; accurate stream"};
  EXPECT_EQ(rippingHistoryLine(check),
            "    3  2026-12-09 07:05  ABC CDROM 40X 1.0a  CD audio 74:00.00  No audio cache; C2 pointers reliable; "
            "accurate stream");
  check.stopped = true;
  check.verdict.clear();
  EXPECT_EQ(rippingHistoryLine(check),
            "    3  2026-12-09 07:05  ABC CDROM 40X 1.0a  CD audio 74:00.00  no verdict (stopped)");
}

}  // namespace
}  // namespace tmx::cli
