#include "program/scsi_setup.h"

#include <filesystem>

#include "emulator/config.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "platform/sg_io_adapter.h"

namespace tmx {

AspiTransport::ManagerLoader makeManagerLoader(const ScsiSetup& setup, Clock& clock, LoaderReport& report) {
  return [setup, &clock, &report]() -> std::unique_ptr<ScsiManager> {
    auto manager = std::make_unique<ScsiManager>();
    bool haveLayer = false;
    if (setup.realDrives) {
      std::error_code ec;
      haveLayer = std::filesystem::exists("/sys/bus/scsi", ec);
      SgIoScan scan = openSgIoAdapters();
      for (auto& adapter : scan.adapters) manager->addAdapter(std::move(adapter));
      report.messages.insert(report.messages.end(), scan.messages.begin(), scan.messages.end());
    }
    if (setup.emulatedDrives) {
      if (setup.emulatedConfig.empty()) {
        manager->addAdapter(emu::makePresetAdapter(clock));
        haveLayer = true;
      } else {
        auto loaded = emu::loadEmulatedConfig(setup.emulatedConfig);
        if (const auto* error = std::get_if<std::string>(&loaded)) {
          report.messages.push_back(*error);
          report.configFailed = true;
        } else {
          manager->addAdapter(emu::buildAdapter(std::get<emu::EmulatedConfig>(loaded), clock));
          haveLayer = true;
        }
      }
    }
    if (!haveLayer) return nullptr;
    return manager;
  };
}

}  // namespace tmx
