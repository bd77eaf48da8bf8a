// Wires the SCSI manager for a program: real hosts first (SG_IO), then the
// emulated adapter, as the options ask.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drive/aspi_transport.h"
#include "platform/clock.h"

namespace tmx {

struct ScsiSetup {
  bool realDrives = true;
  bool emulatedDrives = true;
  std::string emulatedConfig;  // empty: the built-in presets
};

struct LoaderReport {
  // Lines for stderr: permission hints, a bad emulated configuration.
  std::vector<std::string> messages;
  bool configFailed = false;
};

// The loader builds the manager when the transport loads it. It returns null
// when there is no SCSI layer at all: neither the kernel's SCSI bus nor the
// emulated adapter. `report` must outlive the loader's call.
AspiTransport::ManagerLoader makeManagerLoader(const ScsiSetup& setup, Clock& clock, LoaderReport& report);

}  // namespace tmx
