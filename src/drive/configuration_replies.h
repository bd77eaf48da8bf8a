// GET CONFIGURATION (46h) replies: the current profile, the profiles the drive
// lists and the read features worth reporting. A feature descriptor is read
// only when it lies wholly inside the reply's own data length and the span;
// its fields only as far as its additional length reaches.
//
//   const auto config = parseConfiguration(reply);
//   if (config && config->currentProfile == kProfileDvdRom) ...
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tmx {

inline constexpr uint16_t kFeatureProfileList = 0x0000;
inline constexpr uint16_t kFeatureCdRead = 0x001E;
inline constexpr uint16_t kFeatureDvdRead = 0x001F;
inline constexpr uint16_t kFeatureBdRead = 0x0040;
inline constexpr uint16_t kFeatureRealTimeStreaming = 0x0107;
inline constexpr uint16_t kFeatureDriveSerialNumber = 0x0108;

struct ProfileEntry {
  uint16_t profile = 0;
  bool current = false;  // byte 2 bit 0 (CurrentP)
  bool operator==(const ProfileEntry&) const = default;
};

struct FeatureFlags {
  uint8_t version = 0;  // byte 2 bits 5-2
  bool persistent = false;
  bool current = false;
  bool operator==(const FeatureFlags&) const = default;
};

struct CdReadFeature {
  FeatureFlags flags;
  bool cdText = false;            // byte 4 bit 0
  bool c2Flags = false;           // byte 4 bit 1
  bool digitalAudioPlay = false;  // byte 4 bit 7
  bool operator==(const CdReadFeature&) const = default;
};

struct DvdReadFeature {
  FeatureFlags flags;
  bool multi110 = false;         // byte 4 bit 0
  bool dualLayerR = false;       // byte 6 bit 0
  bool dualLayerRw = false;      // byte 6 bit 1
  bool operator==(const DvdReadFeature&) const = default;
};

struct BdReadFeature {
  FeatureFlags flags;
  // Version bitmaps of classes 0-3, bytes 8-31; all zero when the
  // descriptor stops short of them.
  std::array<uint16_t, 4> rewritable{};
  std::array<uint16_t, 4> recordable{};
  std::array<uint16_t, 4> readOnly{};
  bool operator==(const BdReadFeature&) const = default;
};

struct DriveConfiguration {
  uint16_t currentProfile = 0;        // header bytes 6-7
  std::vector<ProfileEntry> profiles;  // the Profile List feature, in the drive's order
  std::optional<CdReadFeature> cdRead;
  std::optional<DvdReadFeature> dvdRead;
  std::optional<BdReadFeature> bdRead;
  bool realTimeStreaming = false;      // GET PERFORMANCE and SET STREAMING
  std::optional<std::string> serialNumber;  // trailing blanks removed
  // A descriptor ran past the end of the reply: the features after it are unknown.
  bool cutShort = false;
  bool operator==(const DriveConfiguration&) const = default;
};

// Empty when the reply does not hold the 8-byte feature header.
std::optional<DriveConfiguration> parseConfiguration(std::span<const uint8_t> reply);

}  // namespace tmx
