#include "drive/medium_probe.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "drive/configuration_replies.h"
#include "drive/disc_structure_replies.h"
#include "drive/performance_replies.h"

namespace tmx {
namespace {

constexpr uint16_t kConfigurationHeader = 8;
constexpr uint16_t kPhysicalFormatReply = 4 + 2048;
constexpr uint16_t kBdDiscInformationReply = 4 + 4096;
constexpr uint16_t kPerformanceDescriptors = 16;
constexpr uint16_t kCdSpeedMaximum = 0xFFFF;
constexpr uint16_t kConfigurationReply = 2048;

}  // namespace

// A unit attention (a disc just went in) is answered once more; a refusal or
// a timeout is final.
std::optional<uint16_t> readCurrentProfile(DriveCommands& commands, DriveAddress drive) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::array<uint8_t, kConfigurationHeader> header{};
    const AspiStatus status =
        commands.GetConfiguration(drive, FeatureRequest::Current, 0, kConfigurationHeader, header.data());
    if (status == kAspiSuccess) {
      const auto config = parseConfiguration(header);
      if (!config) return std::nullopt;
      return config->currentProfile;
    }
    if (!commands.transport().lastFailure().unitAttention()) break;
  }
  return std::nullopt;
}

std::optional<DriveConfiguration> readConfiguration(DriveCommands& commands, DriveAddress drive) {
  std::vector<uint8_t> reply(kConfigurationReply, 0);
  if (commands.GetConfiguration(drive, FeatureRequest::All, 0, kConfigurationReply, reply.data()) != kAspiSuccess) {
    return std::nullopt;
  }
  return parseConfiguration(reply);
}

std::vector<uint8_t> readDiscStructure(DriveCommands& commands, DriveAddress drive, uint8_t mediaType, uint8_t format,
                                       uint16_t length) {
  std::vector<uint8_t> reply(length, 0);
  if (commands.ReadDiscStructure(drive, mediaType, 0, format, length, reply.data()) != kAspiSuccess) return {};
  return reply;
}

namespace {

void readDvdLayers(DriveCommands& commands, DriveAddress drive, Medium& medium) {
  const auto pfi =
      parseDvdPhysicalFormat(readDiscStructure(commands, drive, kStructureMediaDvd, kStructurePhysical, kPhysicalFormatReply));
  if (!pfi) return;
  medium.layers = pfi->layers;
  medium.oppositeTrackPath = pfi->layers > 1 && pfi->oppositeTrackPath;
  medium.layerBreakLba = pfi->layerBreakLba();
}

void readBdLayers(DriveCommands& commands, DriveAddress drive, Medium& medium) {
  const auto info =
      parseBdDiscInformation(readDiscStructure(commands, drive, kStructureMediaBd, kStructurePhysical, kBdDiscInformationReply));
  if (!info || info->layers() < 1) return;
  medium.layers = info->layers();
  // Layer 1 of a BD always runs from the rim inwards.
  medium.oppositeTrackPath = medium.layers > 1;
  if (medium.layers > 1) medium.layerBreakLba = info->layer0Sectors();
}

// Last LBA + 1; 0 for a blank disc (last LBA FFFFFF69h) or a failed read.
int64_t readCapacity(DriveCommands& commands, DriveAddress drive) {
  std::array<uint8_t, 8> reply{};
  if (commands.ReadCapacity(drive, reply.data()) != kAspiSuccess) return 0;
  const uint32_t last = readBe32(reply, 0);
  return last >= 0x80000000u ? 0 : int64_t{last} + 1;
}

}  // namespace

Medium probeMedium(DriveCommands& commands, DriveAddress drive) {
  return probeMediumOfProfile(commands, drive, readCurrentProfile(commands, drive));
}

Medium probeMediumOfProfile(DriveCommands& commands, DriveAddress drive, std::optional<uint16_t> profile) {
  Medium medium;
  if (profile && *profile != kProfileNone) {
    medium.profile = *profile;
    medium.profileName = profileName(*profile);
    medium.kind = mediumKindOfProfile(*profile).value_or(MediumKind::CD);
  }
  if (medium.kind == MediumKind::DVD) readDvdLayers(commands, drive, medium);
  if (medium.kind == MediumKind::BD) readBdLayers(commands, drive, medium);
  medium.capacitySectors = readCapacity(commands, drive);
  if (medium.layers < 2) medium.layerBreakLba.reset();
  return medium;
}

std::optional<double> maximumReadSpeedX(DriveCommands& commands, DriveAddress drive, const Medium& medium) {
  const double perX = kilobytesPerSecondPerX(medium.kind);
  if (medium.kind == MediumKind::CD) {
    int maximum = 0, current = 0;
    if (commands.ModeSenseSpeeds(drive, maximum, current) != kAspiSuccess || maximum <= 0) return std::nullopt;
    return maximum / perX;
  }
  std::vector<uint8_t> reply(getPerformanceCdb(0, kPerformanceDescriptors).transferLength, 0);
  if (commands.GetPerformance(drive, 0, kPerformanceDescriptors, reply.data()) != kAspiSuccess) return std::nullopt;
  const auto parsed = parsePerformance(reply);
  const auto fastest = parsed ? maximumPerformanceKBps(*parsed) : std::nullopt;
  if (!fastest) return std::nullopt;
  return *fastest / perX;
}

AspiStatus setReadSpeedX(DriveCommands& commands, DriveAddress drive, const Medium& medium, double speedX) {
  const bool maximum = !(speedX > 0) || !std::isfinite(speedX);
  const double kbps = maximum ? 0 : speedX * kilobytesPerSecondPerX(medium.kind);
  const auto cdSpeed = [&] {
    return maximum ? kCdSpeedMaximum : static_cast<uint16_t>(std::min(std::lround(kbps), long{kCdSpeedMaximum - 1}));
  };
  if (medium.kind == MediumKind::CD) return commands.SetReadSpeed(drive, cdSpeed());
  const uint32_t endLba = medium.capacitySectors > 0 ? static_cast<uint32_t>(medium.capacitySectors - 1) : 0xFFFFFFFFu;
  const uint32_t streamingKBps = maximum ? 0xFFFFFFFFu : static_cast<uint32_t>(std::lround(kbps));
  const AspiStatus status = commands.SetStreaming(drive, endLba, streamingKBps);
  if (status == kAspiSuccess) return status;
  const DriveFailure failure = commands.transport().lastFailure();
  // A drive without streaming, or one that does not take these figures,
  // still knows SET CD SPEED; a drive that did not answer is left alone.
  const bool refused = failure.refused || (failure.kind == FailureKind::Sense && failure.senseKey == 0x05);
  if (!refused) return status;
  return commands.SetReadSpeed(drive, cdSpeed());
}

}  // namespace tmx
