#include "drive/configuration_replies.h"

#include "drive/reply_parsers.h"

namespace tmx {
namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kDescriptorHeader = 4;

FeatureFlags flagsOf(uint8_t byte2) {
  return FeatureFlags{static_cast<uint8_t>((byte2 >> 2) & 0x0F), (byte2 & 0x02) != 0, (byte2 & 0x01) != 0};
}

// The byte at `offset` of a descriptor, 0 past its end.
uint8_t at(std::span<const uint8_t> descriptor, size_t offset) {
  return offset < descriptor.size() ? descriptor[offset] : 0;
}

std::vector<ProfileEntry> profileList(std::span<const uint8_t> descriptor) {
  std::vector<ProfileEntry> profiles;
  for (size_t i = kDescriptorHeader; i + 4 <= descriptor.size(); i += 4) {
    profiles.push_back(ProfileEntry{readBe16(descriptor, i), (descriptor[i + 2] & 0x01) != 0});
  }
  return profiles;
}

BdReadFeature bdRead(std::span<const uint8_t> descriptor) {
  BdReadFeature f{flagsOf(descriptor[2]), {}, {}, {}};
  for (size_t k = 0; k < 4; ++k) {
    f.rewritable[k] = readBe16(descriptor, 8 + 2 * k);
    f.recordable[k] = readBe16(descriptor, 16 + 2 * k);
    f.readOnly[k] = readBe16(descriptor, 24 + 2 * k);
  }
  return f;
}

std::string serialText(std::span<const uint8_t> descriptor) {
  std::string text;
  for (size_t i = kDescriptorHeader; i < descriptor.size() && descriptor[i] != 0; ++i) {
    text.push_back(static_cast<char>(descriptor[i]));
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void readFeature(uint16_t code, std::span<const uint8_t> d, DriveConfiguration& config) {
  switch (code) {
    case kFeatureProfileList: config.profiles = profileList(d); break;
    case kFeatureCdRead:
      config.cdRead = CdReadFeature{flagsOf(d[2]), (at(d, 4) & 0x01) != 0, (at(d, 4) & 0x02) != 0,
                                    (at(d, 4) & 0x80) != 0};
      break;
    case kFeatureDvdRead:
      config.dvdRead = DvdReadFeature{flagsOf(d[2]), (at(d, 4) & 0x01) != 0, (at(d, 6) & 0x01) != 0,
                                      (at(d, 6) & 0x02) != 0};
      break;
    case kFeatureBdRead: config.bdRead = bdRead(d); break;
    case kFeatureRealTimeStreaming: config.realTimeStreaming = true; break;
    case kFeatureDriveSerialNumber: config.serialNumber = serialText(d); break;
    default: break;
  }
}

}  // namespace

std::optional<DriveConfiguration> parseConfiguration(std::span<const uint8_t> reply) {
  const auto sent = claimedBytes(reply, kDataLength32);
  if (sent.size() < kHeaderBytes) return std::nullopt;
  DriveConfiguration config;
  config.currentProfile = readBe16(sent, 6);
  size_t offset = kHeaderBytes;
  while (offset + kDescriptorHeader <= sent.size()) {
    const size_t length = kDescriptorHeader + sent[offset + 3];
    if (offset + length > sent.size()) {
      config.cutShort = true;
      break;
    }
    readFeature(readBe16(sent, offset), sent.subspan(offset, length), config);
    offset += length;
  }
  if (offset < sent.size()) config.cutShort = true;
  return config;
}

}  // namespace tmx
