// The emulated host adapter: up to 16 targets, each an emulated MMC drive,
// a fixed disk or nothing. Commands to one adapter are served one at a time.
//
//   VirtualClock clock;
//   EmulatedAdapter adapter(clock);
//   adapter.attachDrive(0, DriveProfile{}, DiscSpec{});
//   adapter.drive(0)->faults().add(...);   // the model, for tests and truth
//
// A target without a device answers status aspi::kNoDevice.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "emulator/disk_device.h"
#include "emulator/drive_model.h"
#include "platform/clock.h"
#include "platform/host_adapter.h"

namespace tmx::emu {

class EmulatedAdapter final : public HostAdapter {
 public:
  static constexpr int kTargets = 16;

  explicit EmulatedAdapter(Clock& clock, std::string identifier = "EMULATED");

  // Attach a device at target 0..15, replacing what was there. Returns the
  // drive model, or nullptr for a target out of range.
  DriveModel* attachDrive(uint8_t target, DriveProfile profile, std::optional<DiscSpec> disc, uint64_t seed = 1);
  bool attachDisk(uint8_t target, DiskIdentity identity);
  void detach(uint8_t target);

  // The CD drive at target, or nullptr (nothing there, or a disk).
  DriveModel* drive(uint8_t target);
  const DriveModel* drive(uint8_t target) const;
  Clock& clock() { return clock_; }

  std::string identifier() const override { return identifier_; }
  std::string description() const override;
  std::string driverName() const override { return "tmx-emulator"; }
  ScsiResult execute(const ScsiCommand& command) override;
  // The program itself is the SCSI layer and the driver.
  std::string scsiLayerText(const SystemInfo& system) const override;
  AdapterDriver adapterDriver(const SystemInfo& system) const override;

 private:
  Clock& clock_;
  std::string identifier_;
  std::mutex mutex_;
  std::array<std::unique_ptr<DriveModel>, kTargets> drives_;
  std::array<std::unique_ptr<DiskDevice>, kTargets> disks_;
};

}  // namespace tmx::emu
