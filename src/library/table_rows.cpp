#include "library/table_rows.h"

namespace tmx {
namespace {

std::optional<int64_t> knownOrNull(int64_t value) { return value < 0 ? std::nullopt : std::optional<int64_t>(value); }

}  // namespace

const char* const kDriveDiscColumns =
    "drive_name, drive_vendor, drive_product, drive_revision, drive_serial, drive_emulated, drive_controller, "
    "drive_driver, disc_name, disc_medium, disc_profile, disc_type, disc_length_sectors, disc_toc_digest, "
    "disc_manufacturer";

void bindDriveAndDisc(Binder& b, const std::string& driveName, const StoredDrive& drive, const std::string& discName,
                      const StoredDisc& disc) {
  b(driveName)(drive.vendor)(drive.product)(drive.revision)(drive.serial)(drive.emulated);
  b(drive.controller)(drive.driver);
  b(discName)(disc.medium)(disc.profile)(knownOrNull(disc.type));
  b(knownOrNull(disc.lengthSectors))(disc.tocDigest)(disc.manufacturer);
}

void readDriveAndDisc(Reader& r, std::string& driveName, StoredDrive& drive, std::string& discName, StoredDisc& disc) {
  driveName = r.text();
  drive.vendor = r.text();
  drive.product = r.text();
  drive.revision = r.text();
  drive.serial = r.text();
  drive.emulated = r.integer() != 0;
  drive.controller = r.text();
  drive.driver = r.text();
  discName = r.text();
  disc.medium = r.text();
  disc.profile = r.text();
  disc.type = static_cast<int32_t>(r.optionalInteger().value_or(-1));
  disc.lengthSectors = r.optionalInteger().value_or(-1);
  disc.tocDigest = r.text();
  disc.manufacturer = r.text();
}

bool insertLines(SqliteDatabase& db, const char* table, const char* ownerColumn, int64_t id,
                 const std::vector<std::string>& lines) {
  auto st = db.prepare(std::string("INSERT INTO ") + table + "(" + ownerColumn + ", seq, text) VALUES (?1, ?2, ?3)");
  if (!st) return false;
  for (size_t i = 0; i < lines.size(); ++i) {
    st->reset();
    Binder{*st}(id)(static_cast<int64_t>(i))(lines[i]);
    if (st->step() != SqliteStep::Done) return false;
  }
  return true;
}

bool readLines(SqliteDatabase& db, const char* table, const char* ownerColumn, int64_t id,
               std::vector<std::string>& lines) {
  auto st = db.prepare(std::string("SELECT text FROM ") + table + " WHERE " + ownerColumn + " = ?1 ORDER BY seq");
  if (!st) return false;
  st->bind(1, id);
  SqliteStep step;
  while ((step = st->step()) == SqliteStep::Row) lines.push_back(st->text(0));
  return step == SqliteStep::Done;
}

std::string placeholders(int count) {
  std::string out;
  for (int i = 1; i <= count; ++i) out += (i > 1 ? ", ?" : "?") + std::to_string(i);
  return out;
}

}  // namespace tmx
