// Wires the SCSI manager for a program: real hosts first (SG_IO), then the
// emulated adapter, as the options ask.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drive/aspi_transport.h"
#include "platform/clock.h"
#include "platform/sg_io_findings.h"

namespace tmx {

struct ScsiSetup {
  bool realDrives = true;
  bool emulatedDrives = true;
  std::string emulatedConfig;  // empty: the built-in presets
  // Where the kernel's SCSI devices are looked for; tests give a fake tree.
  std::string sysRoot = "/sys";
  std::string devRoot = "/dev";
};

struct LoaderReport {
  // Lines for stderr: permission hints, a bad emulated configuration (last).
  std::vector<std::string> messages;
  bool configFailed = false;
  // Why no drive can be reached, when none can; the loader then returns null.
  std::string failure;
};

// The loader builds the manager when the transport loads it. It returns null
// when no drive can be reached: no real drive could be opened (or none was
// asked for) and the emulated adapter is off or could not be built. `report`
// must outlive the loader's call.
AspiTransport::ManagerLoader makeManagerLoader(const ScsiSetup& setup, Clock& clock, LoaderReport& report);

// Why nothing can be reached, from what the real drives' scan found; empty
// when the scan opened a drive or the emulated adapter was built.
std::string loaderFailureText(const ScsiSetup& setup, const SgIoFindings& real, bool emulatedBuilt);

}  // namespace tmx
