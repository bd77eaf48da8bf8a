// The ripping-features window on the emulated default drive in virtual time:
// answers shown as they come, Stop and Exit during the check, the saved
// report, and a disc the check refuses.
#include "ui/ripping_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <chrono>

#include <gtest/gtest.h>

#include "app/ripping_history.h"
#include "drive/drive_commands.h"
#include "drive/status_sink.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "results/drive_facts.h"
#include "support/window_rig.h"

namespace tmx::ui {
namespace {

struct RippingRig {
  explicit RippingRig(uint8_t target = 0)
      : transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          manager->addAdapter(emu::makePresetAdapter(clock));
          return manager;
        }),
        commands(transport),
        probe(commands, status),
        drive{0, target} {
    transport.LoadAspiManager();
    panel = probe.refreshDiscPanel(drive);
    model = std::make_unique<RippingCheckModel>(commands, drive, clock,
                                                rippingStartOf(panel, probe.medium().kind, probe.storedLength()));
    facts.vendor = "QUASARIX";
    facts.product = "CD-5200 CAV";
    facts.revision = "1.04";
  }
  // Lets the worker's answers arrive; the bound (of wall time: a loaded
  // machine may take a while) only keeps a broken build from hanging the run.
  void waitWhileRunning() {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (model->running() && std::chrono::steady_clock::now() < giveUp) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  VirtualClock clock;
  AspiTransport transport;
  DriveCommands commands;
  RecordingStatusSink status;
  DiscProbe probe;
  DriveAddress drive;
  DiscPanel panel;
  std::unique_ptr<RippingCheckModel> model;
  DriveFacts facts;
  testing::ScriptedDialogs dialogs;
};

QPushButton* button(QWidget& parent, const QString& text) {
  for (auto* b : parent.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(RippingDialog, RunsTheCheckOffTheInterfaceThreadShowsItsAnswersAndSavesThem) {
  RippingRig rig;
  RippingDialog dialog(*rig.model, rig.facts, rig.panel.typeText, rig.panel.lengthText, rig.clock, rig.dialogs);
  EXPECT_EQ(dialog.windowTitle(), "Tachometrix: Ripping Features");
  for (const char* name : {"&Start", "S&top", "&Save", "E&xit"}) ASSERT_TRUE(button(dialog, name)) << name;
  EXPECT_FALSE(dialog.overreadBox()->isChecked());  // opt-in
  EXPECT_FALSE(button(dialog, "S&top")->isEnabled());
  EXPECT_FALSE(button(dialog, "&Save")->isEnabled());
  EXPECT_TRUE(QFontInfo(dialog.answers()->font()).fixedPitch());

  dialog.show();
  int finished = 0;
  QObject::connect(&dialog, &RippingDialog::checkFinished, [&] { ++finished; });
  button(dialog, "&Start")->click();
  EXPECT_TRUE(rig.model->running());
  EXPECT_FALSE(button(dialog, "&Start")->isEnabled());
  EXPECT_TRUE(button(dialog, "S&top")->isEnabled());
  EXPECT_FALSE(dialog.overreadBox()->isEnabled());
  rig.waitWhileRunning();
  ASSERT_FALSE(rig.model->running());
  EXPECT_EQ(finished, 1);
  ASSERT_EQ(dialog.answers()->count(), static_cast<int>(rig.model->answerLines().size()));
  EXPECT_EQ(dialog.answers()->item(0)->text(), "Ripping features (audio disc)");
  EXPECT_TRUE(button(dialog, "&Save")->isEnabled());
  EXPECT_TRUE(button(dialog, "&Start")->isEnabled());
  if (const char* out = std::getenv("TMX_GRAB_DIR")) dialog.grab().save(QString(out) + "/ripping_dialog.png");

  // Save: the drive, the disc and the check's section, CR LF.
  testing::ScratchDir dir;
  rig.dialogs.paths = {(dir / "RippingFeatures.txt").string()};
  dialog.save();
  ASSERT_EQ(rig.dialogs.choices.size(), 1u);
  EXPECT_EQ(rig.dialogs.choices[0].proposedName, "RippingFeatures.txt");
  const std::string saved = fileText(dir / "RippingFeatures.txt");
  EXPECT_TRUE(saved.starts_with("Tachometrix\t\t\r\n\r\n"));
  EXPECT_NE(saved.find("Vendor\tQUASARIX\r\n"), std::string::npos);
  EXPECT_NE(saved.find("CD information\t\t\r\nType\tAudio\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nRipping features (audio disc)\t\t\r\nRead commands\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nVerdict: No audio cache; C2 pointers reliable"), std::string::npos);
  // A file that cannot be written says why.
  rig.dialogs.paths = {(dir / "missing" / "RippingFeatures.txt").string()};
  dialog.save();
  EXPECT_EQ(rig.dialogs.messages.size(), 1u);
}

TEST(RippingDialog, ExitDuringTheCheckStopsItThenCloses) {
  RippingRig rig;
  RippingDialog dialog(*rig.model, rig.facts, rig.panel.typeText, rig.panel.lengthText, rig.clock, rig.dialogs);
  dialog.show();
  dialog.overreadBox()->setChecked(true);
  button(dialog, "&Start")->click();
  button(dialog, "E&xit")->click();
  EXPECT_TRUE(dialog.isVisible()) << "it waits for the command in flight";
  EXPECT_FALSE(button(dialog, "E&xit")->isEnabled());
  rig.waitWhileRunning();
  for (int i = 0; i < 50; ++i) QApplication::processEvents();
  EXPECT_FALSE(dialog.isVisible());
  ASSERT_TRUE(rig.model->finished());
  EXPECT_TRUE(rig.model->finishedStopped());
}

TEST(RippingDialog, EarlierChecksOfTheDriveShowTheirAnswersAsKept) {
  RippingRig rig;
  testing::ScratchDir dir;
  const auto file = dir / "results.sqlite";
  {
    ResultsLibrary lib = ResultsLibrary::open(file);
    StoredRippingCheck kept;
    kept.summary = {0, "2026-12-09T07:00:00Z", false, "QUASARIX CD-5200 CAV 1.04", "CD audio 74:00.00", "kept verdict"};
    kept.lines = {"Ripping features (audio disc)", "Verdict: kept verdict"};
    ASSERT_TRUE(lib.recordRipping(kept));
  }
  LibraryAccess access(file);
  RippingHistory history(access, rippingDriveName(rig.facts));
  RippingDialog dialog(*rig.model, rig.facts, rig.panel.typeText, rig.panel.lengthText, rig.clock, rig.dialogs,
                       &history);
  QComboBox* earlier = dialog.earlierChecks();
  ASSERT_EQ(earlier->count(), 2);
  EXPECT_EQ(earlier->itemText(1), "2026-12-09 07:00  kept verdict");
  earlier->setCurrentIndex(1);
  ASSERT_EQ(dialog.answers()->count(), 2);
  EXPECT_EQ(dialog.answers()->item(1)->text(), "Verdict: kept verdict");

  // A new check takes the list back to this window's answers; the list waits while it runs.
  dialog.show();
  dialog.start();
  EXPECT_EQ(earlier->currentIndex(), 0);
  EXPECT_FALSE(earlier->isEnabled());
  rig.waitWhileRunning();
  EXPECT_TRUE(earlier->isEnabled());
  EXPECT_EQ(dialog.answers()->item(0)->text(), "Ripping features (audio disc)");
  EXPECT_NE(dialog.answers()->item(dialog.answers()->count() - 4)->text(), "Verdict: kept verdict");
}

TEST(RippingDialog, ADiscTheCheckCannotReadIsRefusedWithWhy) {
  RippingRig rig(6);  // the blank CD-R
  RippingDialog dialog(*rig.model, rig.facts, rig.panel.typeText, rig.panel.lengthText, rig.clock, rig.dialogs);
  EXPECT_FALSE(button(dialog, "&Start")->isEnabled());
  EXPECT_FALSE(dialog.overreadBox()->isEnabled());
  bool said = false;
  for (auto* label : dialog.findChildren<QLabel*>()) said = said || label->text().startsWith("Insert a recorded CD");
  EXPECT_TRUE(said);
  dialog.start();
  EXPECT_FALSE(rig.model->running());
}

}  // namespace
}  // namespace tmx::ui
