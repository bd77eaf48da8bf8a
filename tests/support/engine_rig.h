// A whole engine on the emulated preset adapter in virtual time: the drive
// table, the disc probe, the results, the options, a recording host and the
// sequencer, with the event channel pumped by the test's thread.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "drive/disc_probe.h"
#include "drive/drive_discovery.h"
#include "emulator/presets.h"
#include "engine/event_channel.h"
#include "engine/measurement_table.h"
#include "engine/run_sequencer.h"
#include "platform/clock.h"
#include "platform/scsi_manager.h"
#include "results/app_settings.h"
#include "results/results_model.h"
#include "support/recording_host.h"

namespace tmx::testing {

// Rebuilds the drive at `target` from a preset, changed by `change` (a
// refused opcode, a shorter disc), before the engine scans the adapter.
inline void rebuildPreset(emu::EmulatedAdapter& adapter, uint8_t target, std::string_view preset,
                          const std::function<void(emu::DriveProfile&, std::optional<emu::DiscSpec>&)>& change) {
  emu::Preset p = *emu::findPreset(preset);
  change(p.profile, p.disc);
  adapter.attachDrive(target, std::move(p.profile), std::move(p.disc), p.seed);
}

class EngineRig {
 public:
  using AdapterSetup = std::function<void(emu::EmulatedAdapter&)>;

  // Virtual time by default; the counter steps 10 us per read, so pacing
  // loops end quickly. Benchmarks pass a real clock. `setup` may change the
  // preset drives before they are scanned.
  explicit EngineRig(uint8_t target = 0, Clock* externalClock = nullptr, AdapterSetup setup = nullptr)
      : clock(externalClock ? *externalClock : virtualClock),
        transport([this, setup = std::move(setup)] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = emu::makePresetAdapter(clock);
          if (setup) setup(*adapter);
          emulated = adapter.get();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport),
        probe(commands, host),
        channel([this](int event, long value) {
          if (onEvent) onEvent(event, value);
          sequencer->handleTestEvent(event, value);
        }) {
    transport.LoadAspiManager();
    scanDrives(commands, table);
    for (int i = 0; i < table.count; ++i) {
      if (table.entries[static_cast<size_t>(i)].target == target) table.selected = i;
    }
    probe.refreshDiscPanel(table.selectedDrive());  // as the window does at start-up
    sequencer =
        std::make_unique<TestSequencer>(EngineDeps{commands, probe, table, results, settings, clock, host}, channel);
  }

  ~EngineRig() { finish(); }

  emu::DriveModel& drive() { return *emulated->drive(table.selectedDrive().target); }

  void onlyTests(std::initializer_list<int> tests) { selectMeasurements(settings, tests); }

  // Pumps notifications until the run is over and its workers have left.
  void runToEnd() {
    while (sequencer->busy()) channel.pumpOne(std::chrono::milliseconds(20));
    finish();
  }

  void run(int test = RunAllSelected) {
    sequencer->runTest(test);
    runToEnd();
  }

  VirtualClock virtualClock{10'000};
  Clock& clock;
  emu::EmulatedAdapter* emulated = nullptr;
  AspiTransport transport;
  DriveCommands commands;
  DriveTable table;
  RecordingHost host;
  DiscProbe probe;
  ResultsModel results;
  AppSettings settings;
  EventChannel channel;
  std::unique_ptr<TestSequencer> sequencer;
  // Sees every notification before the sequencer does (raw values for benchmarks).
  std::function<void(int, long)> onEvent;

 private:
  void finish() {
    sequencer->shutdown([this] { channel.pumpOne(std::chrono::milliseconds(5)); });
  }
};

}  // namespace tmx::testing
