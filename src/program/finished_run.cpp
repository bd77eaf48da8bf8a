#include "program/finished_run.h"

#include "drive/medium_probe.h"
#include "drivecheck/medium_lines.h"
#include "drivecheck/recordable_media.h"
#include "emulator/emulated_adapter.h"
#include "platform/scsi_manager.h"
#include "tmx_version.h"

namespace tmx {
namespace {

constexpr uint16_t kProfileCdR = 0x0009;
constexpr uint16_t kProfileCdRw = 0x000A;

}  // namespace

std::string driveSerialNumber(Application& app, DriveAddress drive) {
  if (!app.attached()) return {};
  const DiscProbe& probe = app.probe();
  if (probe.medium().profile == kProfileNone || probe.configurationHung(drive)) return {};
  const auto config = readConfiguration(app.commands(), drive);
  return config && config->serialNumber ? *config->serialNumber : std::string();
}

std::string recordableManufacturer(Application& app, DriveAddress drive) {
  if (!app.attached()) return {};
  const Medium& medium = app.probe().medium();
  if (medium.kind != MediumKind::CD) {
    // "MCC 004": the maker and, of DVD+R(W) and BD, the media type.
    const auto reply = readRecordableMediaId(app.commands(), drive, medium);
    if (!reply || reply->status != MediaIdStatus::Found || reply->id.manufacturer.empty()) return {};
    return reply->id.manufacturer + (reply->id.mediaType.empty() ? "" : " " + reply->id.mediaType);
  }
  const uint16_t profile = medium.profile;
  if (profile != kProfileCdR && profile != kProfileCdRw) return {};
  const RecordableDisc disc = identifyRecordableDisc(app.commands(), drive);
  return disc.found && disc.manufacturer != "unknown" ? disc.manufacturer : std::string();
}

StoredDrive storedDriveOf(Application& app, DriveAddress drive, const DriveFacts& facts) {
  StoredDrive stored;
  stored.vendor = facts.vendor;
  stored.product = facts.product;
  stored.revision = facts.revision;
  const ScsiManager* manager = app.transport().manager();
  const HostAdapter* adapter = manager ? manager->adapter(drive.hostAdapter) : nullptr;
  if (!adapter) return stored;
  stored.controller = adapter->description();
  stored.driver = adapter->driverName();
  stored.emulated = dynamic_cast<const emu::EmulatedAdapter*>(adapter) != nullptr;
  return stored;
}

FinishedRun finishedRunOf(Application& app, RunOutcome outcome, bool qualityCheck, const DriveFacts& facts) {
  const DriveAddress drive = app.drives().selectedDrive();
  FinishedRun run{app.results().record, outcome, qualityCheck};
  run.drive = storedDriveOf(app, drive, facts);
  if (app.attached()) run.toc = app.probe().lastToc();
  run.settings = app.settings();
  run.programVersion = TMX_VERSION;
  // The real time of day, also under virtual time: the list orders runs by it.
  run.endTime = std::chrono::system_clock::now();
  run.statusLines = app.statusLog().lines();
  return run;
}

}  // namespace tmx
