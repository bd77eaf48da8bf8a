// A disc in an emulated drive: CD, DVD or BD, its track layout, its medium
// (pressed, recordable, rewritable, blank), layers, ATIP or media
// identification, damage, and the contents of any sector, generated on demand
// from a seed (never a whole image in memory, however large the disc).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/byte_order.h"
#include "emulator/geometry.h"
#include "emulator/sector_synth.h"

namespace tmx::emu {

enum class DiscContent { Audio, Data, Mixed, Blank };
enum class Medium { Pressed, Recordable, Rewritable };
enum class DiscFamily { Cd, Dvd, Bd };

// Nominal capacities in 2048-byte sectors.
inline constexpr int32_t kDvdSingleLayerSectors = 2'295'104;
inline constexpr int32_t kDvdDualLayerSectors = 4'173'824;  // DVD+R DL; layer 0 2,086,912
inline constexpr int32_t kBdSingleLayerSectors = 12'219'392;
inline constexpr int32_t kBdDualLayerSectors = 24'438'784;

// Who made a recordable DVD or BD, as its lead-in records it: DVD-R(W)
// pre-pits a 12-character manufacturer ID; DVD+R(W) ADIP 8 characters, a
// 3-character media type and a revision; BD-R(E) disc information 6, 3 and a
// revision.
struct MediaIdentity {
  std::string manufacturer;
  std::string mediaType;
  uint8_t revision = 0;
};

struct Atip {
  Msf leadInStart{97, 24, 1};
  Msf lastLeadOutStart{79, 59, 74};
  uint8_t a1 = 0x06;  // low nibble: recording speed class (x2 = X)
};

// A stretch of disc with errors. density: fraction of its sectors that carry
// a burst of uncorrectable bytes; unreadable: every sector fails outright.
struct DamageRegion {
  int32_t start = 0;
  int32_t length = 0;
  double density = 0.0;
  bool unreadable = false;
};

struct DiscSpec {
  DiscContent content = DiscContent::Audio;  // a DVD or BD holds data
  Medium medium = Medium::Pressed;
  DiscFamily family = DiscFamily::Cd;
  bool plusFormat = false;  // recordable DVD: DVD+R(W) (ADIP) rather than DVD-R(W) (pre-pits)
  int layers = 1;           // DVD and BD: 1 or 2
  bool oppositeTrackPath = true;  // dual-layer DVD; layer 1 of a BD always runs inwards
  // Dual layer: the sectors of layer 0; 0 for half the disc in whole ECC
  // blocks (16 sectors DVD, 32 BD).
  int32_t layer0Sectors = 0;
  std::optional<MediaIdentity> mediaId;  // recordable DVD and BD
  int32_t sectors = 333'000;  // recorded length (ignored for a blank disc)
  int tracks = 12;
  bool silent = false;  // audio: digital silence throughout
  uint64_t seed = 1;
  std::optional<Atip> atip;  // recordable and rewritable media
  std::vector<DamageRegion> damage;
  // A data disc whose user data comes from this image file (2048-byte
  // sectors); its length sets the capacity.
  std::string isoPath;
};

struct Track {
  uint8_t number = 1;
  bool data = false;
  int32_t start = 0;
  int32_t length = 0;
  int32_t end() const { return start + length; }
};

// Per-sector damage: which bytes of the raw 2352 are uncorrectable.
struct SectorDamage {
  bool unreadable = false;
  uint16_t firstBadByte = 0;
  uint16_t badBytes = 0;  // a contiguous burst; 0 = clean
};

class Disc {
 public:
  explicit Disc(DiscSpec spec);
  ~Disc();
  Disc(const Disc&) = delete;
  Disc& operator=(const Disc&) = delete;

  const DiscSpec& spec() const { return spec_; }
  DiscFamily family() const { return spec_.family; }
  int layers() const { return spec_.layers; }
  // First LBA of layer 1; 0 for one layer.
  int32_t layerBreak() const;
  DiscGeometry geometry() const;
  bool blank() const { return spec_.content == DiscContent::Blank; }
  bool erasable() const { return spec_.medium == Medium::Rewritable; }
  // Sectors readable from LBA 0; the lead-out starts here. 0 for a blank disc.
  int32_t capacity() const { return blank() ? 0 : spec_.sectors; }
  const std::vector<Track>& tracks() const { return tracks_; }
  const Track* trackAt(int32_t lba) const;
  bool isAudio(int32_t lba) const;
  // The 150 sectors before an audio track (other than the first) are silent.
  bool silentAt(int32_t lba) const;

  SectorDamage damageAt(int32_t lba) const;
  // Number of sectors in [0, capacity) with damage, and of those unreadable.
  int32_t damagedSectorCount() const;

  // Audio: frames of the endless programme starting at sector lba shifted by
  // `offsetFrames`, for `sectors` sectors (silence applied per sector).
  void fillAudio(int32_t lba, size_t sectors, int64_t offsetFrames, uint8_t* out, size_t stride) const;
  // Data: 2048-byte user data of consecutive sectors.
  void fillUserData(int32_t lba, size_t sectors, uint8_t* out, size_t stride) const;
  // The whole 2352-byte sector of a data track.
  void fillRawData(int32_t lba, std::span<uint8_t, kRawSectorBytes> out) const;

  // Whether a content table has been built (only a sector read builds one).
  bool contentBuilt() const { return audio_ != nullptr || data_ != nullptr; }

 private:
  // The content tables cost a megabyte and tens of milliseconds of CPU; they
  // are built on the first read, so listing drives stays cheap.
  const AudioTable* audioTable() const;
  const DataTable* dataTable() const;

  DiscSpec spec_;
  std::vector<Track> tracks_;
  bool anyAudio_ = false;
  bool anyData_ = false;
  mutable std::once_flag audioOnce_;
  mutable std::once_flag dataOnce_;
  mutable std::unique_ptr<AudioTable> audio_;
  mutable std::unique_ptr<DataTable> data_;
  std::unique_ptr<class IsoImage> iso_;
};

}  // namespace tmx::emu
