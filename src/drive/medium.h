// The medium in a drive: CD, DVD or BD, the drive's current profile for it,
// its layers and length, and the medium's 1X. Every measurement derives its
// zones, seek strokes, graph axes and speed units from it. A drive that does
// not answer GET CONFIGURATION holds a CD, as drives before DVD did.
//
//   Medium m{MediumKind::DVD, 0x002B, profileName(0x002B), 2, true, 4'173'824, 2'086'912};
//   m.profileName;             // "DVD+R DL"
//   m.oneXBytesPerSecond();    // 1'385'000
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tmx {

enum class MediumKind { CD, DVD, BD };

// User data per second at 1X: 75 sectors of 2048 bytes for CD, 1,385,000
// bytes for DVD, 4,495,500 for BD.
double oneXBytesPerSecond(MediumKind kind);
// "CD", "DVD", "BD".
const char* mediumName(MediumKind kind);
// One X in the KB/s (of 1000 bytes) that the drive's speed fields count:
// 176 for CD (75 raw sectors of 2352 bytes, as SET CD SPEED and page 2Ah are
// read here), 1385 for DVD, 4495.5 for BD (GET PERFORMANCE, SET STREAMING).
double kilobytesPerSecondPerX(MediumKind kind);

// MMC profile numbers of the media the program tells apart.
inline constexpr uint16_t kProfileNone = 0x0000;
inline constexpr uint16_t kProfileCdRom = 0x0008;
inline constexpr uint16_t kProfileDvdRom = 0x0010;
inline constexpr uint16_t kProfileBdRom = 0x0040;

// The medium a profile is for; nullopt for one that is no CD, DVD or BD
// (hard disks, magneto-optical, double-density CD, HD DVD).
std::optional<MediumKind> mediumKindOfProfile(uint16_t profile);
// "CD-ROM", "CD-R", "DVD-ROM", "DVD+R DL", "BD-RE", ...; a profile the program
// does not know is named by its number: "Profile 0050h".
std::string profileName(uint16_t profile);

struct Medium {
  MediumKind kind = MediumKind::CD;
  uint16_t profile = kProfileNone;  // the drive's current profile; none without GET CONFIGURATION
  std::string profileName;          // empty for a CD drive without GET CONFIGURATION
  int layers = 1;
  bool oppositeTrackPath = false;   // a dual-layer disc whose layer 1 runs from the rim inwards
  int64_t capacitySectors = 0;      // READ CAPACITY: last LBA + 1 (2048-byte sectors)
  // First LBA of layer 1 on a dual-layer disc.
  std::optional<int64_t> layerBreakLba{};

  double oneXBytesPerSecond() const { return tmx::oneXBytesPerSecond(kind); }
  // The nominal size the graph's axis runs to, in GB of 10^9 bytes: 4.7 and
  // 8.5 for DVD, 25 and 50 for BD (by layers); 0 for CD, whose graph keeps
  // its minutes.
  double nominalGigabytes() const;
  // The length in GB of 10^9 bytes: "4.38 GB"; for a CD the disc time.
  double gigabytes() const { return static_cast<double>(capacitySectors) * 2048.0 / 1e9; }
};

// "4.38 GB": a DVD's or BD's length as the disc panel shows it.
std::string mediumLengthText(const Medium& medium);

}  // namespace tmx
