#include "platform/host_adapter.h"

namespace tmx {

std::string HostAdapter::scsiLayerText(const SystemInfo&) const { return "N/A"; }

std::optional<std::string> HostAdapter::hostAdapterName(const SystemInfo&) const { return description(); }

AdapterDriver HostAdapter::adapterDriver(const SystemInfo&) const {
  AdapterDriver driver;
  driver.driver = driverName();
  return driver;
}

std::string HostAdapter::devicePath(uint8_t) const { return {}; }

}  // namespace tmx
