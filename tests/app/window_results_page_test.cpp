// The window's report page and a run of the library shown in the window, on
// the emulated drives in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "library/results_library.h"
#include "results/dat_file.h"
#include "support/window_rig.h"

namespace tmx::testing {
namespace {

namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void fastRun(WindowRig& rig) {
  rig.controller.startUp();
  rig.fastSettings();
  rig.app.settings().runSpinUpDown = false;
  ASSERT_TRUE(rig.controller.command(CmdStart));
  rig.runToEnd();
}

TEST(WindowResultsPage, SavedAfterARunWithTheDriveItsFiguresAndStatusLines) {
  WindowRig rig;
  rig.controller.startUp();
  EXPECT_FALSE(rig.controller.enabled(CmdSaveHtml));  // nothing to show yet
  fastRun(rig);
  ASSERT_TRUE(rig.controller.enabled(CmdSaveHtml));
  const fs::path page = rig.scratch / "run.html";
  rig.dialogs.paths = {page.string()};
  EXPECT_TRUE(rig.controller.command(CmdSaveHtml));
  ASSERT_EQ(rig.dialogs.choices.size(), 1u);
  EXPECT_EQ(rig.dialogs.choices[0].filter, "HTML files|*.html||");
  EXPECT_EQ(rig.dialogs.choices[0].defaultExtension, "html");
  EXPECT_TRUE(rig.dialogs.choices[0].proposedName.ends_with(".html"));
  const std::string html = readFile(page);
  EXPECT_TRUE(has(html, "<h1>QUASARIX CD-5200 CAV 1.04</h1>"));
  EXPECT_TRUE(has(html, "&middot; completed &middot;"));
  EXPECT_TRUE(has(html, "<th>Random seek</th><td class=\"val\">"));
  EXPECT_TRUE(has(html, "<th>Spin-up time</th><td class=\"val none\">not measured</td>"));
  EXPECT_TRUE(has(html, "Transfer rate test completed"));
  EXPECT_TRUE(has(html, "<figure><svg "));
  EXPECT_FALSE(has(html, "<h2>Drive check</h2>"));
  EXPECT_TRUE(rig.dialogs.messages.empty());

  // The drive check of the run's drive is on the page; another drive's is not.
  rig.controller.noteDriveCheck(rig.app.drives().entries[1], {"Drive: another"});
  rig.dialogs.paths = {page.string()};
  rig.controller.command(CmdSaveHtml);
  EXPECT_FALSE(has(readFile(page), "<h2>Drive check</h2>"));
  rig.controller.noteDriveCheck(rig.app.drives().selectedDrive(), {"Features: <all>"});
  rig.dialogs.paths = {page.string()};
  rig.controller.command(CmdSaveHtml);
  EXPECT_TRUE(has(readFile(page), "<h2>Drive check</h2>\n<pre>Features: &lt;all&gt;\n</pre>"));

  rig.dialogs.paths = {(rig.scratch / "missing" / "run.html").string()};
  rig.controller.command(CmdSaveHtml);
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_TRUE(rig.dialogs.messages[0].starts_with("Error saving")) << rig.dialogs.messages[0];
}

TEST(WindowResultsPage, ALoadedFileIsSavedAsLoadedWithoutADrive) {
  WindowRig rig;
  fastRun(rig);
  const fs::path dat = rig.scratch / "run.dat", page = rig.scratch / "loaded.html";
  rig.dialogs.paths = {dat.string(), dat.string(), page.string()};
  rig.controller.command(CmdSaveBinary);
  rig.controller.selectDrive(1);  // greys the run's saves
  EXPECT_FALSE(rig.controller.enabled(CmdSaveHtml));
  rig.controller.command(CmdLoadDat);
  ASSERT_TRUE(rig.controller.enabled(CmdSaveHtml));
  rig.controller.command(CmdSaveHtml);
  EXPECT_EQ(rig.dialogs.choices.back().proposedName, "results.html");
  const std::string html = readFile(page);
  EXPECT_TRUE(has(html, "<h1>Saved results</h1>"));
  EXPECT_TRUE(has(html, "&middot; loaded &middot;"));
  // A new run's reset forgets where the record came from.
  rig.controller.command(CmdStart);
  rig.runToEnd();
  rig.dialogs.paths = {page.string()};
  rig.controller.command(CmdSaveHtml);
  EXPECT_TRUE(has(readFile(page), "&middot; completed &middot;"));
}

StoredRun storedRunOf(WindowRig& rig, int64_t id, StoredRunKind kind) {
  StoredRun run;
  run.summary.id = id;
  run.summary.utcTime = "2026-12-01T10:00:00Z";
  run.summary.kind = kind;
  run.summary.outcome = RunOutcome::Completed;
  run.summary.drive = "ABC CDROM 40X 1.0a";
  run.record = rig.app.results().record;
  run.disc.lengthSectors = run.record.discLength;
  return run;
}

TEST(WindowResultsPage, AStoredRunIsShownAsALoadShowsAFile) {
  WindowRig rig;
  fastRun(rig);
  const ResultTexts measured = rig.controller.texts();
  const StoredRun run = storedRunOf(rig, 7, StoredRunKind::Run);
  const size_t curve = rig.controller.graph().shapes().size();
  rig.controller.selectDrive(2);
  ASSERT_TRUE(rig.controller.texts().averageText.empty());

  rig.controller.showStoredRun(run);
  const ResultTexts& shown = rig.controller.texts();
  EXPECT_EQ(shown.averageText, measured.averageText);
  EXPECT_EQ(shown.randomSeekText, measured.randomSeekText);
  EXPECT_EQ(shown.daeScoreText, measured.daeScoreText);
  EXPECT_EQ(shown.readingTypeText, "CAV");
  EXPECT_EQ(shown.lengthText, "74:00.00");
  EXPECT_EQ(shown.speedLabelText, "Average");
  EXPECT_EQ(rig.controller.graph().shapes().size(), curve);  // the same curve again
  EXPECT_FALSE(rig.controller.graph().qualityMode());
  EXPECT_TRUE(rig.controller.statusLines().back().ends_with(
      "Showing run 7 of the results library (ABC CDROM 40X 1.0a, measured 2026-12-01T10:00:00Z)"));
  EXPECT_TRUE(rig.controller.enabled(CmdSaveHtml));

  // A check is shown as its map.
  StoredRun check = storedRunOf(rig, 8, StoredRunKind::QualityCheck);
  check.record.qualityMap.fill(-1);
  for (int b = 0; b < 300; ++b) check.record.qualityMap[static_cast<size_t>(b)] = b == 100 ? 50 : 0;
  rig.controller.showStoredRun(check);
  EXPECT_TRUE(rig.controller.graph().qualityMode());
  const auto& shapes = rig.controller.graph().shapes();
  EXPECT_TRUE(std::any_of(shapes.begin(), shapes.end(), [](const GraphShape& s) {
    return s.kind == GraphShape::Kind::Line && s.x1 == kGraphLeft + 100 && s.y2 == kGraphBottom - 50;
  }));
}

TEST(WindowResultsPage, NoStoredRunIsShownDuringARun) {
  WindowRig rig;
  rig.controller.startUp();
  rig.fastSettings();
  const StoredRun run = storedRunOf(rig, 3, StoredRunKind::Run);
  rig.controller.command(CmdStart);
  ASSERT_TRUE(rig.controller.busy());
  const size_t lines = rig.controller.statusLines().size();
  rig.controller.showStoredRun(run);
  EXPECT_EQ(rig.controller.statusLines().size(), lines);
  EXPECT_FALSE(rig.controller.enabled(CmdResultsLibrary));
  rig.controller.command(CmdStart);
  rig.runToEnd();
}

TEST(WindowResultsPage, EveryRunAndCheckIsRecordedOnceWhenItEnds) {
  ScratchDir data;
  const fs::path file = data / "results.sqlite";
  WindowRig rig([&](StartOptions& options) { options.libraryPath = file; });
  fastRun(rig);
  rig.controller.command(CmdQualityCheck);
  rig.runToEnd();
  // A drive check restarts the poll: nothing is recorded again.
  rig.controller.hooks.driveCheck = [](DriveAddress) {};
  rig.controller.command(CmdDriveCheck);
  ResultsLibrary lib = ResultsLibrary::open(file);
  const auto runs = lib.list();
  ASSERT_TRUE(runs) << runs.error;
  ASSERT_EQ(runs.value->size(), 2u);
  EXPECT_EQ((*runs.value)[0].kind, StoredRunKind::QualityCheck);
  EXPECT_EQ((*runs.value)[1].kind, StoredRunKind::Run);
  EXPECT_EQ((*runs.value)[1].drive, "QUASARIX CD-5200 CAV 1.04");
  EXPECT_EQ((*runs.value)[1].outcome, RunOutcome::Completed);
}

TEST(WindowResultsPage, WithoutALibraryNothingIsRecorded) {
  WindowRig rig;  // the rigs' default: no library
  fastRun(rig);
  EXPECT_FALSE(rig.app.recorder().enabled());
}

}  // namespace
}  // namespace tmx::testing
