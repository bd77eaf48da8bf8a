// User-defined emulated drives, read from a JSON file:
//
//   {
//     "adapter": "MY EMULATOR",
//     "drives": [
//       { "target": 0, "preset": "cav52-audio74" },
//       { "target": 1, "preset": "clv16-data74", "faults": ["read-error@150000"] },
//       { "target": 2,
//         "drive": { "vendor": "ACME", "product": "SLOWPOKE 4X", "rotation": "clv", "maxSpeed": 4,
//                    "speeds": [1, 2], "bufferKiB": 128, "accurateStream": false, "reject": ["D8"] },
//         "disc": { "content": "audio", "minutes": 60, "tracks": 9,
//                   "damage": [{ "start": 1000, "length": 500, "density": 0.1 }] } },
//       { "target": 3, "preset": "cav40-empty", "disc": null },
//       { "target": 4, "disk": { "vendor": "ACME", "product": "HARD DISK" } },
//       { "target": 5, "drive": { "profiles": "dvd-writer", "rotation": "cav", "maxSpeed": 8 },
//         "disc": { "medium": "dvd+r", "layers": 2, "mediaId": { "manufacturer": "ACMEDISC" } } }
//     ]
//   }
//
// A "preset" entry starts from that preset; "drive" and "disc" override its
// fields. Every key is checked: an unknown key, a wrong type or a value out
// of range is an error naming the file and the line.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "emulator/disc.h"
#include "emulator/disk_device.h"
#include "emulator/drive_profile.h"
#include "emulator/emulated_adapter.h"
#include "emulator/faults.h"
#include "platform/clock.h"

namespace tmx::emu {

struct EmulatedDriveConfig {
  uint8_t target = 0;
  DriveProfile profile;
  std::optional<DiscSpec> disc;
  uint64_t seed = 1;
  std::vector<Fault> faults;
};

struct EmulatedDiskConfig {
  uint8_t target = 0;
  DiskIdentity identity;
};

struct EmulatedConfig {
  std::string identifier = "EMULATED";
  std::vector<EmulatedDriveConfig> drives;
  std::vector<EmulatedDiskConfig> disks;
};

// Reads and checks the file. On failure the text is "FILE:LINE: problem".
std::variant<EmulatedConfig, std::string> loadEmulatedConfig(const std::string& path);
// The same for a text already in memory; `fileName` is used in messages.
std::variant<EmulatedConfig, std::string> parseEmulatedConfig(std::string_view text, std::string_view fileName);

std::unique_ptr<EmulatedAdapter> buildAdapter(const EmulatedConfig& config, Clock& clock);

}  // namespace tmx::emu
