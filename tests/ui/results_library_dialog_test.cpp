// The results library's dialog over real SQLite files in scratch folders.
#include "ui/results_library_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/clock.h"
#include "results/scratch_dir.h"
#include "support/window_rig.h"

namespace tmx::ui {
namespace {

namespace fs = std::filesystem;

StoredRun runOf(const std::string& time, const std::string& drive, double speed) {
  StoredRun run;
  run.summary.utcTime = time;
  run.summary.drive = drive;
  run.summary.disc = "CD audio 74:00.00";
  run.summary.averageX = speed;
  run.summary.outcome = RunOutcome::Completed;
  run.disc.medium = "CD";
  resetRecord(run.record);
  clearSpeedSamples(run.record);
  for (int z = 0; z < 5; ++z) storeSpeedSample(run.record, z, speed * 5);
  return run;
}

struct LibraryRig {
  testing::ScratchDir dir;
  fs::path file = dir / "results.sqlite";
  testing::ScriptedDialogs dialogs;
  VirtualClock clock;
  std::vector<int64_t> ids;
  std::vector<StoredRun> opened;
  std::vector<std::vector<ComparedRun>> compared;

  void recordThree() {
    ResultsLibrary lib = ResultsLibrary::open(file);
    ids.push_back(*lib.record(runOf("2026-12-01T10:00:00Z", "ABC CDROM 40X 1.0a", 30)).value);
    ids.push_back(*lib.record(runOf("2026-12-02T10:00:00Z", "ABC CDROM 40X 1.0a", 31)).value);
    ids.push_back(*lib.record(runOf("2026-12-03T10:00:00Z", "XYZ DVD 16X 2.0", 40)).value);
  }
  std::unique_ptr<ResultsLibraryDialog> dialog(LibraryAccess& access) {
    auto d =
        std::make_unique<ResultsLibraryDialog>(access, dialogs, [this](const StoredRun& r) { opened.push_back(r); }, clock);
    d->showCompare = [this](std::vector<ComparedRun> runs) { compared.push_back(std::move(runs)); };
    return d;
  }
};

void select(QTreeWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int row : rows) list->topLevelItem(row)->setSelected(true);
}

TEST(ResultsLibraryDialog, ListsTheRunsAndTheButtonsFollowTheSelection) {
  LibraryRig rig;
  rig.recordThree();
  LibraryAccess access(rig.file);
  auto dialog = rig.dialog(access);
  QTreeWidget* list = dialog->list();
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->headerItem()->text(3), "Average");
  EXPECT_EQ(list->topLevelItem(0)->text(0), "2026-12-03 10:00");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "XYZ DVD 16X 2.0");
  EXPECT_EQ(list->topLevelItem(0)->text(3), "40.00 X");
  EXPECT_EQ(dialog->status()->text().toStdString(), "3 runs in " + rig.file.string());
  EXPECT_FALSE(dialog->button("new")->isVisibleTo(dialog.get()));
  for (const char* name : {"open", "compare", "export", "delete"}) {
    EXPECT_FALSE(dialog->button(name)->isEnabled()) << name;
  }

  select(list, {0});
  EXPECT_TRUE(dialog->button("open")->isEnabled());
  EXPECT_FALSE(dialog->button("compare")->isEnabled());
  select(list, {0, 2});
  EXPECT_FALSE(dialog->button("open")->isEnabled());
  EXPECT_TRUE(dialog->button("compare")->isEnabled());
  dialog->button("compare")->click();
  ASSERT_EQ(rig.compared.size(), 1u);
  ASSERT_EQ(rig.compared[0].size(), 2u);
  EXPECT_EQ(rig.compared[0][0].heading, "#" + std::to_string(rig.ids[2]));  // the topmost first
  EXPECT_EQ(rig.compared[0][1].report.averageX, 30.0);

  select(list, {1});
  dialog->button("open")->click();
  ASSERT_EQ(rig.opened.size(), 1u);
  EXPECT_EQ(rig.opened[0].summary.id, rig.ids[1]);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST(ResultsLibraryDialog, FiltersDeletesAndExports) {
  LibraryRig rig;
  rig.recordThree();
  LibraryAccess access(rig.file);
  auto dialog = rig.dialog(access);
  QComboBox* drives = dialog->driveFilter();
  ASSERT_EQ(drives->count(), 3);
  EXPECT_EQ(drives->itemText(0), "All drives");
  drives->setCurrentIndex(drives->findText("ABC CDROM 40X 1.0a"));
  ASSERT_EQ(dialog->list()->topLevelItemCount(), 2);
  EXPECT_EQ(drives->currentText(), "ABC CDROM 40X 1.0a");  // kept across the refresh

  const fs::path bundle = rig.dir / "runs.json";
  rig.dialogs.paths = {bundle.string()};
  select(dialog->list(), {0, 1});
  dialog->button("export")->click();
  EXPECT_EQ(rig.dialogs.choices.back().filter, "Run bundles|*.json||");
  EXPECT_TRUE(fs::file_size(bundle) > 0);

  // The bundle imported again: its two runs once more, under new ids.
  drives->setCurrentIndex(0);
  rig.dialogs.paths = {bundle.string()};
  dialog->button("import")->click();
  EXPECT_EQ(rig.dialogs.choices.back().filter, "Run bundles and DAT files|*.json;*.dat||");
  EXPECT_EQ(dialog->list()->topLevelItemCount(), 5);
  rig.dialogs.paths = {(rig.dir / "none.json").string()};
  dialog->button("import")->click();
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  rig.dialogs.messages.clear();
  drives->setCurrentIndex(drives->findText("ABC CDROM 40X 1.0a"));
  ASSERT_EQ(dialog->list()->topLevelItemCount(), 4);
  select(dialog->list(), {0, 1, 2, 3});

  rig.dialogs.answerYes = false;
  dialog->button("delete")->click();
  EXPECT_EQ(dialog->list()->topLevelItemCount(), 4);
  rig.dialogs.answerYes = true;
  dialog->button("delete")->click();
  EXPECT_EQ(rig.dialogs.questions.back(), "Delete the 4 selected runs from the results library?");
  // The drive of the filter has no run left: the list shows every drive's.
  EXPECT_EQ(drives->currentIndex(), 0);
  EXPECT_EQ(drives->count(), 2);
  EXPECT_EQ(dialog->list()->topLevelItemCount(), 1);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(ResultsLibraryDialog, ADamagedLibraryOffersANewOneKeepingTheOldFile) {
  LibraryRig rig;
  testing::writeFile(rig.file, std::string(4096, 'x'));
  LibraryAccess access(rig.file);
  auto dialog = rig.dialog(access);
  EXPECT_EQ(dialog->list()->topLevelItemCount(), 0);
  EXPECT_NE(dialog->status()->text().toStdString().find(rig.file.string()), std::string::npos);
  ASSERT_TRUE(dialog->button("new")->isVisibleTo(dialog.get()));
  dialog->button("new")->click();
  EXPECT_TRUE(rig.dialogs.messages.empty()) << rig.dialogs.messages[0];
  EXPECT_FALSE(dialog->button("new")->isVisibleTo(dialog.get()));
  EXPECT_EQ(dialog->status()->text().toStdString(), "0 runs in " + rig.file.string());
  EXPECT_TRUE(fs::exists(rig.dir / "results.sqlite.bad"));
}

TEST(ResultsLibraryDialog, ALibraryThatCannotBeMadeOffersNoNewOne) {
  LibraryRig rig;
  testing::writeFile(rig.dir / "file", "x");
  LibraryAccess access(rig.dir / "file" / "results.sqlite");  // a folder that cannot exist
  auto dialog = rig.dialog(access);
  EXPECT_TRUE(dialog->model().failed());
  EXPECT_FALSE(dialog->model().damaged());
  EXPECT_FALSE(dialog->button("new")->isVisibleTo(dialog.get()));
  EXPECT_FALSE(dialog->button("import")->isEnabled());
  EXPECT_FALSE(dialog->status()->text().isEmpty());
}

}  // namespace
}  // namespace tmx::ui
