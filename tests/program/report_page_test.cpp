#include "program/report_page.h"

#include <gtest/gtest.h>

#include "program/graph_svg.h"

namespace tmx {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TestResults cdRecord() {
  TestResults record;
  resetRecord(record);
  record.discLength = 333'000;
  record.discType = 1;
  clearSpeedSamples(record);
  for (int zone = 0; zone < 37; ++zone) storeSpeedSample(record, zone, 100.0 + 5 * zone);
  record.lastZone = 36;
  record.randomSeekMs = 85;
  return record;
}

ReportPageInput hostilePage() {
  ReportPageInput page;
  page.programVersion = "0.1.0";
  page.utcTime = "2026-12-09T06:14:26Z";
  page.drive = {"<VEN>", "Prod & \"Co\"", "1.0'", "SN<1>", "ahci", "sr_mod", true};
  page.disc = {"CD", "CD-ROM", 1, 333'000, {}, "Maker <x>"};
  page.report = makeRunReport(cdRecord(), RunOutcome::Completed);
  page.statusLines = {"[06:14:00]   Reading <disc> & \x01"};
  page.graphSvg = graphSvg({});
  return page;
}

TEST(ReportPage, TextsFromTheDriveAndFilesAreEscaped) {
  const std::string html = reportPageHtml(hostilePage());
  EXPECT_TRUE(has(html, "<h1>&lt;VEN&gt; Prod &amp; &quot;Co&quot; 1.0&#39;</h1>"));
  EXPECT_TRUE(has(html, "<th>Serial number</th><td>SN&lt;1&gt;</td>"));
  EXPECT_TRUE(has(html, "<th>Manufacturer</th><td>Maker &lt;x&gt;</td>"));
  // A control byte of a status line becomes U+FFFD.
  EXPECT_TRUE(has(html, "[06:14:00]   Reading &lt;disc&gt; &amp; \xEF\xBF\xBD\n"));
  EXPECT_FALSE(has(html, "<VEN>"));
  EXPECT_FALSE(has(html, "<disc>"));
}

TEST(ReportPage, SelfContainedWithTheGraphInline) {
  const std::string html = reportPageHtml(hostilePage());
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"));
  EXPECT_TRUE(html.ends_with("</body>\n</html>\n"));
  EXPECT_TRUE(has(html, "<figure><svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_FALSE(has(html, "<?xml"));
  // Nothing is fetched: no links, scripts, style sheets or images from outside.
  for (const char* fetch : {"<link", "<script", "src=", "href=\"http", "url(", "@import"}) {
    EXPECT_FALSE(has(html, fetch)) << fetch;
  }
  EXPECT_TRUE(has(html, "@media print{"));
  ReportPageInput without = hostilePage();
  without.graphSvg.clear();
  EXPECT_FALSE(has(reportPageHtml(without), "<figure>"));
}

TEST(ReportPage, FiguresWithUnitsAndNotMeasured) {
  const std::string html = reportPageHtml(hostilePage());
  EXPECT_TRUE(has(html, "<th>Random seek</th><td class=\"val\">85 ms</td>"));
  EXPECT_TRUE(has(html, "<th>Full seek</th><td class=\"val none\">not measured</td>"));
  EXPECT_TRUE(has(html, "<th>Average speed</th><td class=\"val\">"));
  EXPECT_TRUE(has(html, "<th>Length</th><td>74:00.00 (333000 sectors)</td>"));
  EXPECT_TRUE(has(html, "<p class=\"sub\">CD-ROM audio 74:00.00 &middot; completed &middot; 2026-12-09 06:14:26 UTC"));
  EXPECT_TRUE(has(html, "<th>Emulated</th>"));
}

TEST(ReportPage, ACheckShowsItsOwnFiguresAndADvdNoTocType) {
  ReportPageInput page = hostilePage();
  page.report.readScan = ReadScan{};
  page.report.readScan->unreadableSectors = 64;
  page.disc = {"DVD", "DVD-ROM", -1, 2'295'104, {}, {}};
  const std::string html = reportPageHtml(page);
  EXPECT_TRUE(has(html, "<th>Unreadable sectors</th><td class=\"val\">64</td>"));
  EXPECT_FALSE(has(html, "<th>Random seek</th>"));
  EXPECT_FALSE(has(html, "<th>Type</th>"));
  EXPECT_TRUE(has(html, "<th>Length</th><td>4.70 GB (2295104 sectors)</td>"));
}

TEST(ReportPage, TheDriveCheckOnlyWhenOneWasMade) {
  ReportPageInput page = hostilePage();
  EXPECT_FALSE(has(reportPageHtml(page), "<h2>Drive check</h2>"));
  page.driveCheck = {"Profiles: CD-ROM <current>", "Features: 0001h"};
  EXPECT_TRUE(has(reportPageHtml(page),
                  "<h2>Drive check</h2>\n<pre>Profiles: CD-ROM &lt;current&gt;\nFeatures: 0001h\n</pre>"));
}

TEST(ReportPage, ALoadedFileHasNoDrive) {
  const TestResults record = cdRecord();
  const DriveFacts none;
  const std::vector<std::string> lines;
  const ReportPageInput page = reportPageOf(
      LiveRunPage{record, RunOutcome::LoadedFromFile, false, 0, none, lines, "0.1.0", "", {}}, AppSettings{});
  const std::string html = reportPageHtml(page);
  EXPECT_TRUE(has(html, "<h1>Saved results</h1>"));
  EXPECT_TRUE(has(html, "no drive: the results were loaded from a file"));
  EXPECT_TRUE(has(html, "<th>Type</th><td>audio</td>"));
  EXPECT_TRUE(has(html, "<th>Spin-up time</th><td class=\"val none\">not measured</td>"));
}

TEST(ReportPage, DiscDescriptions) {
  EXPECT_EQ(discDescription({"CD", "", 0, 333'000, {}, {}}), "CD data 74:00.00");
  EXPECT_EQ(discDescription({"DVD", "DVD+R DL", -1, 4'173'824, {}, {}}), "DVD+R DL 8.55 GB");
  EXPECT_EQ(discDescription({"BD", "", -1, -1, {}, {}}), "BD");
  DriveFacts facts{"ABC     ", "CDROM 40X       ", "1.0a", 1, 7056};
  const StoredDrive drive = storedDriveOf(facts);
  EXPECT_EQ(drive.vendor + "|" + drive.product + "|" + drive.revision, "ABC|CDROM 40X|1.0a");
}

}  // namespace
}  // namespace tmx
