// The named drives of the emulated adapter: drive and disc combinations that
// let every test and the drive check do something meaningful. Target 0, the
// program's default drive, is the fast CAV drive with a 74-minute audio CD;
// targets 8 and up hold DVDs and BDs.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/disc.h"
#include "emulator/disk_device.h"
#include "emulator/drive_profile.h"
#include "emulator/emulated_adapter.h"
#include "platform/clock.h"

namespace tmx::emu {

struct Preset {
  std::string name;  // stable key, also usable in the JSON configuration
  DriveProfile profile;
  std::optional<DiscSpec> disc;  // none: an empty drive
  uint64_t seed = 1;
};

// The drives, in target order (the disk sits between them, see below).
std::vector<Preset> presets();
std::optional<Preset> findPreset(std::string_view name);

// Target of each preset on the preset adapter and of the fixed disk.
struct PresetSlot {
  uint8_t target;
  std::string preset;  // empty: the disk
};
std::vector<PresetSlot> presetLayout();
DiskIdentity presetDisk();

std::unique_ptr<EmulatedAdapter> makePresetAdapter(Clock& clock);

}  // namespace tmx::emu
