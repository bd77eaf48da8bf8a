#include "drive/disc_structure_replies.h"

#include <cstdio>

#include "drive/reply_parsers.h"

namespace tmx {
namespace {

constexpr size_t kHeader = 4;
constexpr size_t kDiUnitBytes = 112;
constexpr size_t kDiUnitCore = 32;  // through the last AUN

uint32_t psnAt(std::span<const uint8_t> data, size_t offset) { return readBe32(data, offset) & 0x00FFFFFF; }

// A recorded identification: NULs read as blanks, trailing blanks dropped.
std::string idText(std::span<const uint8_t> data, size_t offset, size_t count) {
  std::string text;
  for (size_t i = offset; i < offset + count && i < data.size(); ++i) {
    text.push_back(data[i] == 0 ? ' ' : static_cast<char>(data[i]));
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The structure's bytes (after the header) when the reply vouches for at
// least `needed` of them, else empty.
std::span<const uint8_t> structureData(std::span<const uint8_t> reply, size_t needed) {
  const auto sent = claimedBytes(reply, kDataLength);
  if (sent.size() < kHeader + needed) return {};
  return sent.subspan(kHeader);
}

}  // namespace

std::optional<int64_t> DvdPhysicalFormat::layerBreakLba() const {
  if (layers != 2) return std::nullopt;
  const uint32_t last = oppositeTrackPath ? endPsnLayer0 : endPsn;
  if (last < startPsn) return std::nullopt;
  return int64_t{last} - startPsn + 1;
}

std::optional<DvdPhysicalFormat> parseDvdPhysicalFormat(std::span<const uint8_t> reply) {
  const auto data = structureData(reply, 16);
  if (data.empty()) return std::nullopt;
  DvdPhysicalFormat f;
  f.bookType = data[0] >> 4;
  f.partVersion = data[0] & 0x0F;
  f.discSize = data[1] >> 4;
  f.maximumRate = data[1] & 0x0F;
  f.layers = ((data[2] >> 5) & 0x03) + 1;
  f.oppositeTrackPath = (data[2] & 0x10) != 0;
  f.layerType = data[2] & 0x0F;
  f.startPsn = psnAt(data, 4);
  f.endPsn = psnAt(data, 8);
  f.endPsnLayer0 = psnAt(data, 12);
  return f;
}

std::string dvdBookTypeName(uint8_t bookType) {
  switch (bookType) {
    case 0x0: return "DVD-ROM";
    case 0x1: return "DVD-RAM";
    case 0x2: return "DVD-R";
    case 0x3: return "DVD-RW";
    case 0x9: return "DVD+RW";
    case 0xA: return "DVD+R";
    case 0xD: return "DVD+RW DL";
    case 0xE: return "DVD+R DL";
    default: break;
  }
  char text[24];
  std::snprintf(text, sizeof text, "book type %Xh", bookType & 0x0F);
  return text;
}

MediaIdReply parsePrePitMediaId(std::span<const uint8_t> reply) {
  const auto data = structureData(reply, 31);
  if (data.empty()) return {};
  if (data[16] != 3 || data[24] != 4) return {MediaIdStatus::Unrecognised, {}};
  // Two halves of six characters, joined before the end is trimmed so that
  // blanks inside the ID stay.
  std::vector<uint8_t> joined(data.begin() + 17, data.begin() + 23);
  joined.insert(joined.end(), data.begin() + 25, data.begin() + 31);
  return {MediaIdStatus::Found, MediaId{idText(joined, 0, joined.size()), {}, std::nullopt}};
}

MediaIdReply parseAdipMediaId(std::span<const uint8_t> reply) {
  const auto data = structureData(reply, 31);
  if (data.empty()) return {};
  const uint8_t book = data[0] >> 4;
  if (book != 0x9 && book != 0xA && book != 0xD && book != 0xE) return {MediaIdStatus::Unrecognised, {}};
  return {MediaIdStatus::Found, MediaId{idText(data, 19, 8), idText(data, 27, 3), data[30]}};
}

std::optional<int64_t> BdDiscInformation::layer0Sectors() const {
  for (const BdDiscInformationUnit& u : units) {
    if (u.layer == 0 && u.lastAun >= u.firstAun) return int64_t{u.lastAun} - u.firstAun + 2;
  }
  return std::nullopt;
}

MediaIdReply BdDiscInformation::mediaId() const {
  if (units.empty()) return {};
  const BdDiscInformationUnit& first = units.front();
  if (first.discType != "BDR" && first.discType != "BDW") return {MediaIdStatus::Unrecognised, {}};
  if (!first.id) return {};
  return {MediaIdStatus::Found, *first.id};
}

std::optional<BdDiscInformation> parseBdDiscInformation(std::span<const uint8_t> reply) {
  const auto sent = claimedBytes(reply, kDataLength);
  BdDiscInformation info;
  for (size_t at = kHeader; at + kDiUnitCore <= sent.size(); at += kDiUnitBytes) {
    const auto unit = sent.subspan(at, std::min(kDiUnitBytes, sent.size() - at));
    if (unit[0] != 'D' || unit[1] != 'I') break;
    BdDiscInformationUnit u;
    u.layer = unit[3] & 0x07;
    u.discType = idText(unit, 8, 3);
    u.layers = unit[12] >> 4;
    u.firstAun = readBe32(unit, 24);
    u.lastAun = readBe32(unit, 28);
    const bool recordable = u.discType == "BDR" || u.discType == "BDW";
    if (recordable && unit.size() == kDiUnitBytes) u.id = MediaId{idText(unit, 100, 6), idText(unit, 106, 3), unit[111]};
    info.units.push_back(u);
    if (unit.size() < kDiUnitBytes) break;
  }
  if (info.units.empty()) return std::nullopt;
  return info;
}

}  // namespace tmx
