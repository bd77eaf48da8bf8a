#include "emulator/structure_replies.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "emulator/byte_order.h"

namespace tmx::emu {
namespace {

constexpr Sense kIncompatibleFormat{0x05, 0x30, 0x02};
constexpr uint8_t kPhysical = 0x00, kPrePit = 0x0E, kAdip = 0x11, kList = 0xFF;
constexpr size_t kDiUnit = 112;

std::vector<uint8_t> withHeader(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(4 + data.size(), 0);
  std::copy(data.begin(), data.end(), out.begin() + 4);
  putBe16(out, 0, static_cast<uint32_t>(out.size() - 2));
  return out;
}

void putText(std::vector<uint8_t>& out, size_t at, std::string_view text, size_t width) {
  for (size_t i = 0; i < width; ++i) out[at + i] = static_cast<uint8_t>(i < text.size() ? text[i] : ' ');
}

// Book type and part version, as the physical format and ADIP give them.
uint8_t bookByte(const DiscSpec& d) {
  const bool dual = d.layers > 1;
  switch (d.medium) {
    case Medium::Recordable: return d.plusFormat ? (dual ? 0xE1 : 0xA1) : (dual ? 0x26 : 0x25);
    case Medium::Rewritable: return d.plusFormat ? (dual ? 0xD1 : 0x92) : 0x32;
    case Medium::Pressed: break;
  }
  return 0x01;
}

uint8_t layerByte(const Disc& disc) {
  const DiscSpec& d = disc.spec();
  const uint8_t type = d.medium == Medium::Pressed ? 0x01 : d.medium == Medium::Recordable ? 0x02 : 0x04;
  const bool otp = disc.layers() > 1 && d.oppositeTrackPath;
  return static_cast<uint8_t>((disc.layers() - 1) << 5 | (otp ? 0x10 : 0x00) | type);
}

// Data bytes 0-15: the data area from PSN 030000h. On an OTP disc layer 1's
// PSNs are layer 0's inverted, so its data area ends at ~end0 + its length;
// a PTP disc's layers each describe their own.
std::vector<uint8_t> physicalFormat(const Disc& disc, uint8_t layer) {
  const DiscSpec& d = disc.spec();
  const int32_t capacity = disc.capacity();
  const int32_t layer0 = disc.layers() > 1 ? std::min(disc.layerBreak(), capacity) : capacity;
  const int32_t layer1 = capacity - layer0;
  std::vector<uint8_t> data(2048, 0);
  data[0] = bookByte(d);
  data[1] = d.medium == Medium::Pressed ? 0x02 : 0x0F;
  data[2] = layerByte(disc);
  data[3] = disc.layers() > 1 ? 0x10 : 0x00;
  putBe32(data, 4, kDvdStartPsn);
  const uint32_t end0 = kDvdStartPsn + static_cast<uint32_t>(layer0) - 1;
  if (disc.layers() < 2) {
    putBe32(data, 8, end0);
  } else if (d.oppositeTrackPath) {
    putBe32(data, 8, ((~end0) & 0x00FFFFFF) + static_cast<uint32_t>(layer1) - 1);
    putBe32(data, 12, end0);
  } else {
    putBe32(data, 8, kDvdStartPsn + static_cast<uint32_t>(layer == 0 ? layer0 : layer1) - 1);
  }
  return data;
}

// Five 8-byte fields with their IDs; the manufacturer ID in fields 3 and 4.
std::vector<uint8_t> prePitData(const MediaIdentity& id) {
  std::vector<uint8_t> data(40, 0);
  for (uint8_t field = 1; field <= 5; ++field) data[(field - 1) * 8u] = field;
  data[1] = 0x00;  // application code: general use
  data[2] = 0x22;  // disc physical code
  std::vector<uint8_t> maker(12, ' ');
  putText(maker, 0, id.manufacturer, 12);
  std::copy_n(maker.begin(), 6, data.begin() + 17);
  std::copy_n(maker.begin() + 6, 6, data.begin() + 25);
  return data;
}

std::vector<uint8_t> adipData(const Disc& disc, const MediaIdentity& id) {
  std::vector<uint8_t> data(256, 0);
  data[0] = bookByte(disc.spec());
  data[1] = 0x0F;
  data[2] = layerByte(disc);
  putText(data, 19, id.manufacturer, 8);
  putText(data, 27, id.mediaType, 3);
  data[30] = id.revision;
  return data;
}

// One unit per layer; address units count sectors, two to a unit.
std::vector<uint8_t> bdDiscInformation(const Disc& disc) {
  const DiscSpec& d = disc.spec();
  const std::string_view type = d.medium == Medium::Pressed ? "BDO" : d.medium == Medium::Recordable ? "BDR" : "BDW";
  const uint8_t layerType = d.medium == Medium::Pressed ? 0x01 : d.medium == Medium::Recordable ? 0x02 : 0x04;
  const int32_t capacity = disc.capacity();
  const int32_t layer0 = disc.layers() > 1 ? std::min(disc.layerBreak(), capacity) : capacity;
  std::vector<uint8_t> data(4096, 0);
  for (int layer = 0; layer < disc.layers(); ++layer) {
    const size_t at = kDiUnit * static_cast<size_t>(layer);
    putText(data, at, "DI", 2);
    data[at + 2] = 0x01;
    data[at + 3] = static_cast<uint8_t>(1 << 3 | layer);
    data[at + 5] = static_cast<uint8_t>(layer);
    data[at + 6] = static_cast<uint8_t>(kDiUnit);
    putText(data, at + 8, type, 3);
    data[at + 11] = 0x01;  // 120 mm, class 0, version 1
    data[at + 12] = static_cast<uint8_t>(disc.layers() << 4 | layerType);
    data[at + 13] = 0x01;  // 25 GB a layer
    data[at + 16] = 0x01;  // BCA
    const uint32_t first = layer == 0 ? 0x00100000u : 0x02100000u;
    const int32_t sectors = layer == 0 ? layer0 : capacity - layer0;
    putBe32(data, at + 24, first);
    putBe32(data, at + 28, first + static_cast<uint32_t>(std::max(sectors, 2)) - 2);
    if (d.mediaId && d.medium != Medium::Pressed) {
      putText(data, at + 100, d.mediaId->manufacturer, 6);
      putText(data, at + 106, d.mediaId->mediaType, 3);
      data[at + 111] = d.mediaId->revision;
    }
  }
  return data;
}

bool hasPrePit(const DiscSpec& d) { return d.medium != Medium::Pressed && !d.plusFormat && d.mediaId.has_value(); }
bool hasAdip(const DiscSpec& d) { return d.medium != Medium::Pressed && d.plusFormat && d.mediaId.has_value(); }

// Format code, readable, and the structure's length with its header.
std::vector<uint8_t> structureList(const Disc& disc) {
  std::vector<uint8_t> data;
  const auto entry = [&](uint8_t format, size_t length) {
    data.insert(data.end(), {format, 0x40, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  };
  if (disc.family() == DiscFamily::Bd) {
    entry(kPhysical, 4096 + 4);
  } else {
    entry(kPhysical, 2048 + 4);
    if (hasPrePit(disc.spec())) entry(kPrePit, 40 + 4);
    if (hasAdip(disc.spec())) entry(kAdip, 256 + 4);
  }
  entry(kList, 0);
  return data;
}

}  // namespace

Reply discStructureReply(const Disc& disc, uint8_t mediaType, uint8_t layer, uint8_t format) {
  const DiscFamily family = disc.family();
  const bool askedBd = mediaType == 0x01;
  if (mediaType > 0x01) return sense::kInvalidFieldInCdb;
  if (family == DiscFamily::Cd || askedBd != (family == DiscFamily::Bd)) return kIncompatibleFormat;
  if (format == kList) return withHeader(structureList(disc));
  if (layer >= disc.layers() && format == kPhysical && family == DiscFamily::Dvd) return sense::kInvalidFieldInCdb;
  const DiscSpec& d = disc.spec();
  if (family == DiscFamily::Bd) {
    if (format == kPhysical) return withHeader(bdDiscInformation(disc));
    return sense::kInvalidFieldInCdb;
  }
  switch (format) {
    case kPhysical: return withHeader(physicalFormat(disc, layer));
    case kPrePit:
      if (hasPrePit(d)) return withHeader(prePitData(*d.mediaId));
      break;
    case kAdip:
      if (hasAdip(d)) return withHeader(adipData(disc, *d.mediaId));
      break;
    default: break;
  }
  return sense::kInvalidFieldInCdb;
}

}  // namespace tmx::emu
