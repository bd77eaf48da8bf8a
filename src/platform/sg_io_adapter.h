// Linux SG_IO backend: one host adapter per kernel SCSI host that has an
// optical device. Devices are opened once, read-write and non-blocking; I/O
// through SG_IO blocks until the command ends or its timeout passes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/host_adapter.h"
#include "platform/sg_io_findings.h"
#include "platform/sg_io_mapping.h"

namespace tmx {

class SgIoAdapter final : public HostAdapter {
 public:
  struct Device {
    std::string path;
    int fd = -1;
    int reservedSize = 0;  // the sg driver's per-file buffer; 0 for an sr node
  };

  SgIoAdapter(int kernelHost, std::string procName, std::vector<Device> devices);
  ~SgIoAdapter() override;
  SgIoAdapter(const SgIoAdapter&) = delete;
  SgIoAdapter& operator=(const SgIoAdapter&) = delete;

  std::string identifier() const override;
  std::string description() const override;
  std::string driverName() const override { return procName_; }
  ScsiResult execute(const ScsiCommand& command) override;
  // The sg driver's version from procfs, else from an open node (sg not
  // loaded, or procfs elsewhere); the kernel host's name and driver.
  std::string scsiLayerText(const SystemInfo& system) const override;
  std::optional<std::string> hostAdapterName(const SystemInfo& system) const override;
  AdapterDriver adapterDriver(const SystemInfo& system) const override;
  std::string devicePath(uint8_t target) const override;

  int kernelHost() const { return kernelHost_; }
  const std::vector<Device>& devices() const { return devices_; }

 private:
  int kernelHost_;
  std::string procName_;
  std::vector<Device> devices_;
};

struct SgIoScan {
  std::vector<std::unique_ptr<HostAdapter>> adapters;
  // Problems worth telling the user, each once (e.g. a permission hint).
  std::vector<std::string> messages;
  SgIoFindings findings;
};

// Reads sysfs under `sysRoot` and opens the devices under `devRoot`.
SgIoScan openSgIoAdapters(const std::string& sysRoot = "/sys", const std::string& devRoot = "/dev");

}  // namespace tmx
