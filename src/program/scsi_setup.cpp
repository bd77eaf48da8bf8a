#include "program/scsi_setup.h"

#include <optional>

#include "emulator/config.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "platform/sg_io_adapter.h"

namespace tmx {

std::string loaderFailureText(const ScsiSetup& setup, const SgIoFindings& real, bool emulatedBuilt) {
  if (emulatedBuilt || (setup.realDrives && real.opened > 0)) return {};
  if (setup.realDrives) return unreachableDrivesText(real);
  if (setup.emulatedDrives) return "No drives to use: the emulated drives could not be loaded";
  return "No drives to use: both real and emulated drives are off";
}

AspiTransport::ManagerLoader makeManagerLoader(const ScsiSetup& setup, Clock& clock, LoaderReport& report) {
  return [setup, &clock, &report]() -> std::unique_ptr<ScsiManager> {
    auto manager = std::make_unique<ScsiManager>();
    SgIoFindings found;
    std::vector<std::string> hints;
    if (setup.realDrives) {
      SgIoScan scan = openSgIoAdapters(setup.sysRoot, setup.devRoot);
      for (auto& adapter : scan.adapters) manager->addAdapter(std::move(adapter));
      hints = std::move(scan.messages);
      found = scan.findings;
    }
    bool emulatedBuilt = false;
    std::optional<std::string> configError;
    if (setup.emulatedDrives) {
      if (setup.emulatedConfig.empty()) {
        manager->addAdapter(emu::makePresetAdapter(clock));
        emulatedBuilt = true;
      } else {
        auto loaded = emu::loadEmulatedConfig(setup.emulatedConfig);
        if (const auto* error = std::get_if<std::string>(&loaded)) {
          configError = *error;
          report.configFailed = true;
        } else {
          manager->addAdapter(emu::buildAdapter(std::get<emu::EmulatedConfig>(loaded), clock));
          emulatedBuilt = true;
        }
      }
    }
    report.failure = loaderFailureText(setup, found, emulatedBuilt);
    // When nothing can be reached the failure says why, permission included.
    if (report.failure.empty()) report.messages.insert(report.messages.end(), hints.begin(), hints.end());
    if (configError) report.messages.push_back(*configError);
    if (!report.failure.empty()) return nullptr;
    return manager;
  };
}

}  // namespace tmx
