// One host adapter behind the SCSI manager: the Linux SG_IO backend (one per
// kernel SCSI host with an optical device) or the emulated adapter.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tmx {

class SystemInfo;

enum class DataDirection : uint8_t { None, In, Out };

struct ScsiCommand {
  uint8_t target = 0;
  uint8_t lun = 0;
  std::span<const uint8_t> cdb;
  DataDirection direction = DataDirection::None;
  // The caller's buffer; its size is the transfer length of the request.
  std::span<uint8_t> data;
  std::chrono::milliseconds timeout{30'000};
};

struct ScsiResult {
  uint8_t status = 0;        // manager status: 1 good, 4 check condition, 80h+ refused/host failure
  uint8_t hostStatus = 0;    // aspi::kHa*
  uint8_t targetStatus = 0;  // SCSI status byte
  std::array<uint8_t, 18> sense{};  // fixed-format sense data (70h), zero when none
  uint32_t senseLength = 0;
  // Bytes the device actually moved, when the host knows it; -1 when it cannot
  // tell (ATAPI behind libata reports no residual).
  int64_t transferred = -1;
};

// The four driver lines of the drive check's general section.
struct AdapterDriver {
  std::string driver = "N/A";
  std::string description = "N/A";
  std::string company = "N/A";
  std::string version = "N/A";
};

class HostAdapter {
 public:
  virtual ~HostAdapter() = default;
  // Up to 16 printable characters, as the host adapter inquiry reports it.
  virtual std::string identifier() const = 0;
  // Longer description and driver, for the drive check.
  virtual std::string description() const = 0;
  virtual std::string driverName() const = 0;
  // Runs one command to completion (or timeout). A target with no device
  // answers status aspi::kNoDevice.
  virtual ScsiResult execute(const ScsiCommand& command) = 0;

  // What the drive check's general section says about the adapter: the SCSI
  // layer behind it ("Linux sg driver V3.5.36"), its name and its driver.
  // `system` answers for what the running kernel knows (procfs, sysfs, the
  // module tools). By default: no layer known, the description as the name,
  // the driver name alone.
  virtual std::string scsiLayerText(const SystemInfo& system) const;
  virtual std::optional<std::string> hostAdapterName(const SystemInfo& system) const;
  virtual AdapterDriver adapterDriver(const SystemInfo& system) const;
  // The device node behind a target ("/dev/sr0"), for messages; empty when
  // there is none.
  virtual std::string devicePath(uint8_t target) const;
};

// The time a command may take before the host gives up on it. START STOP UNIT
// and the like may wait for a spin-up or a tray.
std::chrono::milliseconds commandTimeout(uint8_t opcode);

}  // namespace tmx
