#include "results/text_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/clock.h"
#include "scratch_dir.h"

namespace tmx {
namespace {

const DriveFacts kDrive{"ABC     ", "CDROM 40X       ", "1.0a", 1, 7056};
const ReportTime kWhen{"05 March 2024", "9:07:03"};

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

TEST(TextReport, AfterATransferOnlyRunPrintsNaForTheRest) {
  ResultTexts t;
  t.discTypeText = "Audio";
  t.lengthText = "74:00.00";
  t.averageText = "21.12x";
  t.startText = "13.40x";
  t.endText = "32.04x";
  t.readingTypeText = "CAV";
  TestResults r;
  resetRecord(r);
  const std::vector<std::string> expected = {
      "Tachometrix\t\t", "", "05 March 2024 - 9:07:03\t\t", "",
      "CD-ROM drive information\t\t", "Vendor\tABC     ", "Product\tCDROM 40X       ", "Firmware Version\t1.0a", "",
      "CD information\t\t", "Type\tAudio", "Length\t74:00.00", "",
      "Test results\t\t", "",
      "Transfer rate\t\t", "Average\t21.12x", "Start\t13.40x", "End\t32.04x", "Reading type\tCAV", "",
      "DAE quality\t\t", "Score\tN/A", "Accurate stream\tNo", "",
      "Seek times\t\t", "Random\tN/A", "1/3 Seek\tN/A", "Full\tN/A", "",
      "CPU usage\t\t", "1X\tN/A", "2X\tN/A", "4X\tN/A", "8X\tN/A", "",
      "Interface\t\t", "Burst rate\tN/A", "",
      "Spinup/Spindown Time\t\t", "Spinup Time\tN/A", "Spindown Time\tN/A", ""};
  EXPECT_EQ(crlfLines(formatTextReport(t, makeRunReport(r, RunOutcome::None), kDrive, kWhen)), expected);
}

TEST(TextReport, PrintsTheTextsAsShownAndSpinTimesFromTheRecord) {
  ResultTexts t;
  t.cpuTexts = {"3 %", "5 %", "9 %", "17 %"};  // after a DAT load
  t.daeScoreText = "10";
  t.accurateStreamBox = true;
  TestResults r;
  r.spinUpTime = 2.345;
  r.spinDownTime = 0.0;
  const auto lines = crlfLines(formatTextReport(t, makeRunReport(r, RunOutcome::None), kDrive, kWhen));
  ASSERT_EQ(lines.size(), 43u);
  EXPECT_EQ(lines[22], "Score\t10");
  EXPECT_EQ(lines[23], "Accurate stream\tYes");
  EXPECT_EQ(lines[31], "1X\t3 %");
  EXPECT_EQ(lines[40], "Spinup Time\t2.35 sec");
  EXPECT_EQ(lines[41], "Spindown Time\t0.00 sec");
}

// The ripping check's section: its first line the heading, each line CR LF,
// a blank line after; a text from the drive made safe.
TEST(TextReport, RippingSectionAndTheCheckAloneAreLaidOutLikeTheRunsReport) {
  EXPECT_EQ(rippingReportSection({}), "");
  EXPECT_EQ(rippingReportSection({"Ripping features (audio disc)", "Read commands", "  x\x1b[2J"}),
            "Ripping features (audio disc)\t\t\r\nRead commands\r\n  x\xEF\xBF\xBD[2J\r\n\r\n");
  DriveFacts drive;
  drive.vendor = "QUASARIX";
  drive.product = "CD-5200 CAV";
  drive.revision = "1.04";
  EXPECT_EQ(formatRippingReport(drive, "Audio", "74:00.00", {"Ripping features (audio disc)", "Verdict: v"},
                                ReportTime{"09 December 2026", "9:41:07"}),
            "Tachometrix\t\t\r\n\r\n09 December 2026 - 9:41:07\t\t\r\n\r\nCD-ROM drive information\t\t\r\n"
            "Vendor\tQUASARIX\r\nProduct\tCD-5200 CAV\r\nFirmware Version\t1.04\r\n\r\n"
            "CD information\t\t\r\nType\tAudio\r\nLength\t74:00.00\r\n\r\n"
            "Ripping features (audio disc)\t\t\r\nVerdict: v\r\n\r\n");
}

TEST(ReportTime, FormatsUtcWithTheLocalesMonthName) {
  // 2024-03-05 09:07:03 UTC.
  const ReportTime when = reportTime(1709629623, "C");
  EXPECT_EQ(when.date, "05 March 2024");
  EXPECT_EQ(when.time, "9:07:03");
  EXPECT_EQ(reportTime(1709629623, "no_SUCH.locale").date, "05 March 2024");
  EXPECT_EQ(reportTime(1709675999, "C").time, "21:59:59");
}

TEST(SaveTextReport, WritesTheReportAtTheClocksTime) {
  testing::ScratchDir dir;
  VirtualClock clock(1000, 1709629623);
  TestResults r;
  resetRecord(r);
  ASSERT_TRUE(saveTextReport(dir / "r.txt", ResultTexts{}, r, kDrive, clock).ok());
  const std::string text = testing::readFile(dir / "r.txt");
  EXPECT_EQ(text, formatTextReport(ResultTexts{}, makeRunReport(r, RunOutcome::None), kDrive, reportTime(1709629623)));
  EXPECT_NE(text.find(" - 9:07:03\t\t\r\n"), std::string::npos);

  const auto failed = saveTextReport(dir / "missing" / "r.txt", ResultTexts{}, r, kDrive, clock);
  EXPECT_EQ(failed.error, "Error saving " + (dir / "missing" / "r.txt").string() + "\r\n\nNo such file or directory");
}

}  // namespace
}  // namespace tmx
