#include "emulator/emulated_adapter.h"

#include <algorithm>

#include "platform/aspi_codes.h"
#include "platform/system_info.h"

namespace tmx::emu {
namespace {

// At most 16 printable characters, as the host adapter inquiry reports.
std::string adapterText(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c < 0x20 || c >= 0x7F; }, '?');
  if (text.size() > 16) text.resize(16);
  return text.empty() ? std::string("EMULATED") : text;
}

}  // namespace

EmulatedAdapter::EmulatedAdapter(Clock& clock, std::string identifier)
    : clock_(clock), identifier_(adapterText(std::move(identifier))) {}

DriveModel* EmulatedAdapter::attachDrive(uint8_t target, DriveProfile profile, std::optional<DiscSpec> disc,
                                         uint64_t seed) {
  if (target >= kTargets) return nullptr;
  std::lock_guard lock(mutex_);
  disks_[target].reset();
  drives_[target] = std::make_unique<DriveModel>(std::move(profile), std::move(disc), seed);
  return drives_[target].get();
}

bool EmulatedAdapter::attachDisk(uint8_t target, DiskIdentity identity) {
  if (target >= kTargets) return false;
  std::lock_guard lock(mutex_);
  drives_[target].reset();
  disks_[target] = std::make_unique<DiskDevice>(std::move(identity));
  return true;
}

void EmulatedAdapter::detach(uint8_t target) {
  if (target >= kTargets) return;
  std::lock_guard lock(mutex_);
  drives_[target].reset();
  disks_[target].reset();
}

DriveModel* EmulatedAdapter::drive(uint8_t target) { return target < kTargets ? drives_[target].get() : nullptr; }
const DriveModel* EmulatedAdapter::drive(uint8_t target) const {
  return target < kTargets ? drives_[target].get() : nullptr;
}

std::string EmulatedAdapter::description() const { return "Tachometrix emulated MMC host adapter"; }

std::string EmulatedAdapter::scsiLayerText(const SystemInfo&) const {
  return "Tachometrix emulated adapter V" + programVersion();
}

AdapterDriver EmulatedAdapter::adapterDriver(const SystemInfo&) const {
  return AdapterDriver{driverName() + " (built-in)", "Emulated MMC CD-ROM drives", "Tachometrix", programVersion()};
}

ScsiResult EmulatedAdapter::execute(const ScsiCommand& command) {
  std::lock_guard lock(mutex_);
  if (command.target < kTargets && command.lun == 0) {
    if (DriveModel* d = drives_[command.target].get()) return d->execute(command, clock_);
    if (const DiskDevice* k = disks_[command.target].get()) return k->execute(command);
  }
  ScsiResult none;
  none.status = aspi::kNoDevice;
  none.hostStatus = aspi::kHaSelectionTimeout;
  return none;
}

}  // namespace tmx::emu
