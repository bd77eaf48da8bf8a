// A run whose read command the kernel's filter starts refusing: the status
// list says what the kernel refused and how to fix it, with no read error of
// the disc before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "drive/disc_probe.h"
#include "drive/drive_discovery.h"
#include "emulator/emulated_adapter.h"
#include "emulator/presets.h"
#include "engine/event_channel.h"
#include "engine/run_sequencer.h"
#include "platform/scsi_manager.h"
#include "platform/sg_io_mapping.h"
#include "results/app_settings.h"
#include "results/results_model.h"
#include "support/recording_host.h"

namespace tmx {
namespace {

// The emulated drives behind a node whose kernel refuses `filtered` once set.
class FilteringAdapter final : public HostAdapter {
 public:
  explicit FilteringAdapter(std::unique_ptr<emu::EmulatedAdapter> inner) : inner_(std::move(inner)) {}
  std::string identifier() const override { return inner_->identifier(); }
  std::string description() const override { return inner_->description(); }
  std::string driverName() const override { return inner_->driverName(); }
  std::string devicePath(uint8_t target) const override { return "/dev/sr" + std::to_string(target); }
  ScsiResult execute(const ScsiCommand& command) override {
    if (!command.cdb.empty() && command.cdb[0] == filtered.load()) {
      SgIoOutcome refused;
      refused.ioctlOk = false;
      refused.error = EPERM;
      return mapSgIoOutcome(refused);
    }
    return inner_->execute(command);
  }
  std::atomic<int> filtered{-1};

 private:
  std::unique_ptr<emu::EmulatedAdapter> inner_;
};

TEST(KernelRefusal, ARefusedReadEndsTheRunWithTheKernelsWordsAndNoReadError) {
  VirtualClock clock(10'000);
  FilteringAdapter* node = nullptr;
  AspiTransport transport([&] {
    auto manager = std::make_unique<ScsiManager>();
    auto adapter = std::make_unique<FilteringAdapter>(emu::makePresetAdapter(clock));
    node = adapter.get();
    manager->addAdapter(std::move(adapter));
    return manager;
  });
  transport.LoadAspiManager();
  DriveCommands commands(transport);
  DriveTable table;
  scanDrives(commands, table);
  for (int i = 0; i < table.count; ++i) {
    if (table.entries[static_cast<size_t>(i)].target == 1) table.selected = i;  // a data disc, read with READ(10)
  }
  testing::RecordingHost host;
  DiscProbe probe(commands, host);
  probe.refreshDiscPanel(table.selectedDrive());
  ResultsModel results;
  AppSettings settings;
  settings.runTransferRate = settings.runDaeQuality = settings.runSeekTimes = false;
  settings.runCpuUtilization = settings.runSpinUpDown = false;
  settings.runBurstRate = true;
  std::unique_ptr<TestSequencer> sequencer;
  EventChannel channel([&](int event, long value) { sequencer->handleTestEvent(event, value); });
  sequencer = std::make_unique<TestSequencer>(EngineDeps{commands, probe, table, results, settings, clock, host},
                                              channel);
  host.onStatusLine = [&](const std::string& line) {
    if (line == "Initializing") node->filtered = 0x28;
  };
  sequencer->runTest(RunAllSelected);
  while (sequencer->busy()) channel.pumpOne(std::chrono::milliseconds(20));
  sequencer->shutdown([&] { channel.pumpOne(std::chrono::milliseconds(5)); });

  const auto& lines = host.lines;
  EXPECT_FALSE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("Read error"); }));
  const auto cause = std::find(lines.begin(), lines.end(),
                               "The kernel refused READ(10) (28h) on /dev/sr1 to a user who is not root: "
                               "load the sg module (sudo modprobe sg)");
  ASSERT_NE(cause, lines.end()) << lines.back();
  ASSERT_LT(cause + 1, lines.end());
  EXPECT_EQ(cause[1], "Test aborted");
}

}  // namespace
}  // namespace tmx
