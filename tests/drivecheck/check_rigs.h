// The drive check's test rigs: the report of an emulated drive on a virtual
// clock, the report sections of one scripted drive, and line lookups.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drive/drive_commands.h"
#include "drivecheck/drive_check_builder.h"
#include "drivecheck/report_lines.h"
#include "emulator/emulated_adapter.h"
#include "emulator/faults.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "platform/system_info.h"
#include "support/scripted_adapter.h"

namespace tmx {

class NoLookup final : public HardwareLookup {
 public:
  std::string pciName(const std::string&, const std::string&) const override { return {}; }
  std::optional<ModuleFacts> module(const std::string&) const override { return std::nullopt; }
};

class DriveCheckRig {
 public:
  DriveCheckRig()
      : transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = std::make_unique<emu::EmulatedAdapter>(clock);
          emulated = adapter.get();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport),
        system("/nonexistent-root", std::make_unique<NoLookup>()) {
    transport.LoadAspiManager();
  }

  std::vector<std::string> report(emu::DriveProfile profile, std::optional<emu::DiscSpec> disc) {
    emulated->attachDrive(0, std::move(profile), std::move(disc));
    DriveCheckReport lines(widest);
    buildDriveCheckReport(commands, DriveAddress{0, 0}, system, lines);
    return lines.lines();
  }
  std::vector<std::string> preset(const std::string& name, const std::vector<std::string>& faults = {}) {
    auto p = emu::findPreset(name);
    emulated->attachDrive(0, p->profile, p->disc);
    for (const auto& spec : faults) emulated->drive(0)->faults().add(std::get<emu::Fault>(emu::parseFault(spec)));
    DriveCheckReport lines(widest);
    const int64_t start = clock.nowNs();
    buildDriveCheckReport(commands, DriveAddress{0, 0}, system, lines);
    driveSeconds = static_cast<double>(clock.nowNs() - start) / 1e9;
    return lines.lines();
  }

  VirtualClock clock;
  emu::EmulatedAdapter* emulated = nullptr;
  AspiTransport transport;
  DriveCommands commands;
  SystemInfo system;
  size_t widest = 0;
  double driveSeconds = 0;  // of the last preset's report, in the drive's time
};

inline bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The line after the label of a "Supported commands" entry.
inline std::string outcomeOf(const std::vector<std::string>& lines, const std::string& label) {
  const auto section = std::find(lines.begin(), lines.end(), "Supported commands");
  const auto at = std::find(section, lines.end(), label);
  return at == lines.end() || at + 1 == lines.end() ? "<missing>" : *(at + 1);
}

inline bool anyStartsWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
}

// One scripted drive at 0:0, what it was sent, and a report to fill.
struct ScriptedDriveRig {
  explicit ScriptedDriveRig(testing::ScriptedAdapter::Device device)
      : transport([this, device] {
          auto adapter = std::make_unique<testing::ScriptedAdapter>(&sent);
          adapter->at(0, device);
          auto manager = std::make_unique<ScsiManager>();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }
  std::vector<testing::SentCommand> sent;
  AspiTransport transport;
  DriveCommands commands;
  size_t widest = 0;
  DriveCheckReport report{widest};
};

}  // namespace tmx
