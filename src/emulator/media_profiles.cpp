#include "emulator/media_profiles.h"

#include <algorithm>

namespace tmx::emu {
namespace {

constexpr uint16_t kCdRom = 0x0008, kCdR = 0x0009, kCdRw = 0x000A;
constexpr uint16_t kDvdRom = 0x0010, kDvdR = 0x0011, kDvdRwOverwrite = 0x0013, kDvdRw = 0x0014;
constexpr uint16_t kDvdRDl = 0x0015, kDvdRwDl = 0x0017, kDvdPlusRw = 0x001A, kDvdPlusR = 0x001B;
constexpr uint16_t kDvdPlusRwDl = 0x002A, kDvdPlusRDl = 0x002B;
constexpr uint16_t kBdRom = 0x0040, kBdR = 0x0041, kBdRRandom = 0x0042, kBdRe = 0x0043;

bool lists(const DriveProfile& drive, uint16_t profile) {
  return std::find(drive.mmcProfiles.begin(), drive.mmcProfiles.end(), profile) != drive.mmcProfiles.end();
}

uint16_t dvdProfile(const DiscSpec& d) {
  const bool dual = d.layers > 1;
  switch (d.medium) {
    case Medium::Recordable: return d.plusFormat ? (dual ? kDvdPlusRDl : kDvdPlusR) : (dual ? kDvdRDl : kDvdR);
    case Medium::Rewritable: return d.plusFormat ? (dual ? kDvdPlusRwDl : kDvdPlusRw) : (dual ? kDvdRwDl : kDvdRw);
    case Medium::Pressed: break;
  }
  return kDvdRom;
}

}  // namespace

std::vector<uint16_t> classProfiles(DriveClass driveClass) {
  const std::vector<uint16_t> dvdWriter{kDvdPlusRDl, kDvdPlusR, kDvdPlusRw, kDvdRDl, kDvdRw, kDvdRwOverwrite,
                                        kDvdR,       kDvdRom,   kCdRw,      kCdR,    kCdRom};
  switch (driveClass) {
    case DriveClass::None: return {};
    case DriveClass::CdRom: return {kCdRom};
    case DriveClass::CdWriter: return {kCdRw, kCdR, kCdRom};
    case DriveClass::DvdRom: return {kDvdRom, kCdRom};
    case DriveClass::DvdWriter: return dvdWriter;
    case DriveClass::Bd: {
      std::vector<uint16_t> bd{kBdRe, kBdRRandom, kBdR, kBdRom};
      bd.insert(bd.end(), dvdWriter.begin(), dvdWriter.end());
      return bd;
    }
  }
  return {};
}

uint16_t discProfile(const DiscSpec& d) {
  switch (d.family) {
    case DiscFamily::Dvd: return dvdProfile(d);
    case DiscFamily::Bd:
      return d.medium == Medium::Recordable ? kBdR : d.medium == Medium::Rewritable ? kBdRe : kBdRom;
    case DiscFamily::Cd: break;
  }
  return d.medium == Medium::Recordable ? kCdR : d.medium == Medium::Rewritable ? kCdRw : kCdRom;
}

std::optional<uint16_t> currentProfileFor(const DriveProfile& drive, const DiscSpec& disc) {
  const uint16_t own = discProfile(disc);
  if (lists(drive, own)) return own;
  const uint16_t readOnly = disc.family == DiscFamily::Dvd ? kDvdRom : disc.family == DiscFamily::Bd ? kBdRom : kCdRom;
  if (lists(drive, readOnly)) return readOnly;
  return std::nullopt;
}

bool readsDisc(const DriveProfile& drive, const DiscSpec& disc) {
  if (drive.mmcProfiles.empty()) return disc.family == DiscFamily::Cd;
  return currentProfileFor(drive, disc).has_value();
}

bool listsDvd(const DriveProfile& drive) { return lists(drive, kDvdRom); }
bool listsBd(const DriveProfile& drive) { return lists(drive, kBdRom); }

}  // namespace tmx::emu
