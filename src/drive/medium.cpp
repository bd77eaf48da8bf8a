#include "drive/medium.h"

#include <cstdio>

namespace tmx {

double oneXBytesPerSecond(MediumKind kind) {
  switch (kind) {
    case MediumKind::DVD: return 1'385'000.0;
    case MediumKind::BD: return 4'495'500.0;
    case MediumKind::CD: break;
  }
  return 153'600.0;
}

const char* mediumName(MediumKind kind) {
  switch (kind) {
    case MediumKind::DVD: return "DVD";
    case MediumKind::BD: return "BD";
    case MediumKind::CD: break;
  }
  return "CD";
}

double kilobytesPerSecondPerX(MediumKind kind) {
  switch (kind) {
    case MediumKind::DVD: return 1385.0;
    case MediumKind::BD: return 4495.5;
    case MediumKind::CD: break;
  }
  return 176.0;
}

std::optional<MediumKind> mediumKindOfProfile(uint16_t profile) {
  if (profile >= 0x0008 && profile <= 0x000A) return MediumKind::CD;
  // 20h-22h are double-density CD, between the DVD profiles.
  if ((profile >= 0x0010 && profile <= 0x001F) || profile == 0x002A || profile == 0x002B) return MediumKind::DVD;
  if (profile >= 0x0040 && profile <= 0x0043) return MediumKind::BD;
  return std::nullopt;
}

std::string profileName(uint16_t profile) {
  switch (profile) {
    case 0x0008: return "CD-ROM";
    case 0x0009: return "CD-R";
    case 0x000A: return "CD-RW";
    case 0x0010: return "DVD-ROM";
    case 0x0011: return "DVD-R";
    case 0x0012: return "DVD-RAM";
    case 0x0013: return "DVD-RW";  // restricted overwrite
    case 0x0014: return "DVD-RW";  // sequential recording
    case 0x0015: return "DVD-R DL";  // sequential recording
    case 0x0016: return "DVD-R DL";  // layer jump recording
    case 0x0017: return "DVD-RW DL";
    case 0x0018: return "DVD-Download";
    case 0x001A: return "DVD+RW";
    case 0x001B: return "DVD+R";
    case 0x002A: return "DVD+RW DL";
    case 0x002B: return "DVD+R DL";
    case 0x0040: return "BD-ROM";
    case 0x0041: return "BD-R";  // sequential recording
    case 0x0042: return "BD-R";  // random recording
    case 0x0043: return "BD-RE";
    default: break;
  }
  char text[32];
  std::snprintf(text, sizeof text, "Profile %04Xh", profile);
  return text;
}

std::string mediumLengthText(const Medium& medium) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f GB", medium.gigabytes());
  return text;
}

double Medium::nominalGigabytes() const {
  switch (kind) {
    case MediumKind::DVD: return layers > 1 ? 8.5 : 4.7;
    case MediumKind::BD: return layers > 1 ? 50.0 : 25.0;
    case MediumKind::CD: break;
  }
  return 0.0;
}

}  // namespace tmx
