#include "program/finished_ripping.h"

#include "drive/disc_probe.h"
#include "library/stored_run_builder.h"
#include "program/finished_run.h"
#include "ripping/ripping_json.h"
#include "ripping/ripping_text.h"
#include "tmx_version.h"

namespace tmx {
namespace {

int32_t discTypeOf(const std::string& kind) {
  if (kind == "audio") return kDiscAudio;
  if (kind == "mixed") return kDiscMixed;
  if (kind == "data") return kDiscData;
  return -1;
}

}  // namespace

StoredRippingCheck storedRippingCheckOf(const FinishedRipping& check) {
  const RippingFeatures& f = check.features;
  StoredRippingCheck stored;
  stored.drive = trimmedDrive(check.drive);
  stored.disc.medium = mediumName(check.medium.kind);
  stored.disc.profile = check.medium.profileName;
  stored.disc.type = discTypeOf(f.discKind);
  stored.disc.lengthSectors = check.lengthSectors > 0 ? check.lengthSectors : -1;
  stored.disc.tocDigest = tocDigest(check.toc);
  stored.disc.manufacturer = check.manufacturer;
  stored.programVersion = check.programVersion;
  // As the CLI writes it: a drive's text that is no UTF-8 must not cost the record.
  stored.answersJson = rippingJson(f).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  stored.lines = rippingTextLines(f);

  RippingCheckSummary& s = stored.summary;
  s.utcTime = utcTimeText(check.endTime);
  s.stopped = check.stopped;
  s.drive = driveNameOf(stored.drive);
  s.disc = discNameOf(check.medium, stored.disc.type, stored.disc.lengthSectors);
  s.verdict = f.verdict;
  return stored;
}

FinishedRipping finishedRippingOf(Application& app, const RippingFeatures& features, bool stopped,
                                  const DriveFacts& facts) {
  const DriveAddress drive = app.drives().selectedDrive();
  FinishedRipping check{features, stopped, storedDriveOf(app, drive, facts)};
  check.drive.serial = driveSerialNumber(app, drive);
  if (app.attached()) {
    check.medium = app.probe().medium();
    check.lengthSectors = app.probe().storedLength();
    check.toc = app.probe().lastToc();
  }
  check.manufacturer = recordableManufacturer(app, drive);
  check.programVersion = TMX_VERSION;
  // The real time of day, also under virtual time: the list orders checks by it.
  check.endTime = std::chrono::system_clock::now();
  return check;
}

}  // namespace tmx
