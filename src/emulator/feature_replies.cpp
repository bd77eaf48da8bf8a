#include "emulator/feature_replies.h"

#include <algorithm>

#include "emulator/byte_order.h"

namespace tmx::emu {
namespace {

constexpr uint8_t kPersistent = 0x02;
constexpr uint8_t kCurrent = 0x01;

struct Feature {
  uint16_t code;
  uint8_t version;
  bool persistent;
  bool current;
  std::vector<uint8_t> data;
};

bool isCd(uint16_t profile) { return profile >= 0x0008 && profile <= 0x000A; }
bool isDvd(uint16_t profile) { return profile >= 0x0010 && profile <= 0x002B; }
bool isBd(uint16_t profile) { return profile >= 0x0040 && profile <= 0x0043; }

Feature profileList(const FeatureFacts& f) {
  Feature list{0x0000, 0, true, true, {}};
  for (uint16_t p : f.profiles) {
    list.data.insert(list.data.end(), {static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p),
                                       static_cast<uint8_t>(p == f.currentProfile ? 0x01 : 0x00), 0});
  }
  return list;
}

// Blank padded to whole 4-byte units, as the feature wants.
std::vector<uint8_t> serialBytes(const std::string& serial) {
  std::vector<uint8_t> bytes(serial.begin(), serial.end());
  while (bytes.size() % 4 != 0) bytes.push_back(' ');
  return bytes;
}

std::vector<Feature> features(const FeatureFacts& f) {
  const uint16_t current = f.currentProfile;
  std::vector<Feature> all;
  all.push_back(profileList(f));
  all.push_back({0x0001, 2, true, true, {0, 0, 0, 0x02, 0x03, 0, 0, 0}});  // core: ATAPI, DBE, INQ2
  all.push_back({0x0003, 0, true, true, {0x29, 0, 0, 0}});                 // removable medium: tray, eject, lock
  all.push_back({0x0010, 0, false, current != 0, {0, 0, 0x08, 0x00, 0, 0x01, 0, 0}});  // random readable
  all.push_back({0x001D, 0, false, isCd(current), {}});                    // multi-read
  all.push_back({0x001E, 2, false, isCd(current), {static_cast<uint8_t>(f.c2Pointers ? 0x02 : 0x00), 0, 0, 0}});
  if (f.dvd) {
    const bool dualR = std::find(f.profiles.begin(), f.profiles.end(), 0x0015) != f.profiles.end();
    all.push_back({0x001F, 1, false, isDvd(current), {0x01, 0, static_cast<uint8_t>(dualR ? 0x01 : 0x00), 0}});
  }
  if (f.bd) {
    std::vector<uint8_t> bitmaps(28, 0);
    bitmaps[5] = 0x06;   // BD-RE class 0, versions 1 and 2
    bitmaps[13] = 0x06;  // BD-R class 0
    bitmaps[21] = 0x02;  // BD-ROM class 0, version 1
    all.push_back({0x0040, 0, false, isBd(current), bitmaps});
  }
  if (f.streaming) all.push_back({0x0107, 3, false, true, {0x00, 0, 0, 0}});
  if (!f.serialNumber.empty()) all.push_back({0x0108, 0, true, true, serialBytes(f.serialNumber)});
  return all;
}

}  // namespace

Reply configurationReply(const FeatureFacts& facts, uint8_t requestType, uint16_t startingFeature) {
  if (requestType > 2) return sense::kInvalidFieldInCdb;
  std::vector<uint8_t> out(8, 0);
  putBe16(out, 6, facts.currentProfile);
  for (const Feature& f : features(facts)) {
    if (f.code < startingFeature || (requestType == 1 && !f.current)) continue;
    if (requestType == 2 && f.code != startingFeature) continue;
    out.insert(out.end(), {static_cast<uint8_t>(f.code >> 8), static_cast<uint8_t>(f.code),
                           static_cast<uint8_t>(f.version << 2 | (f.persistent ? kPersistent : 0) |
                                                (f.current ? kCurrent : 0)),
                           static_cast<uint8_t>(f.data.size())});
    out.insert(out.end(), f.data.begin(), f.data.end());
  }
  putBe32(out, 0, static_cast<uint32_t>(out.size() - 4));
  return out;
}

}  // namespace tmx::emu
