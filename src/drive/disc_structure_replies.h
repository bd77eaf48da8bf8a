// READ DISC STRUCTURE (ADh) replies: a 4-byte header whose data length counts
// the bytes after itself, then the structure from byte 4. Each parser reads
// only what the reply's own length and the span vouch for, and says so when a
// reply stops short or does not hold the structure asked for.
//
//   const auto pfi = parseDvdPhysicalFormat(reply);   // format 00h, media type DVD
//   if (pfi && pfi->layers == 2) pfi->layerBreakLba();
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tmx {

inline constexpr uint8_t kStructureMediaDvd = 0x00;
inline constexpr uint8_t kStructureMediaBd = 0x01;
inline constexpr uint8_t kStructurePhysical = 0x00;   // DVD physical format, BD disc information
inline constexpr uint8_t kStructurePrePit = 0x0E;     // DVD-R/-RW lead-in pre-pit data
inline constexpr uint8_t kStructureAdip = 0x11;       // DVD+R/+RW ADIP information

// PSN of LBA 0 on a DVD.
inline constexpr uint32_t kDvdFirstDataPsn = 0x030000;

// DVD physical format information (format 00h), data bytes 0-15.
struct DvdPhysicalFormat {
  uint8_t bookType = 0;        // data byte 0 bits 7-4: 0 DVD-ROM, 2 DVD-R, 9 DVD+RW, 0Eh DVD+R DL...
  uint8_t partVersion = 0;     // data byte 0 bits 3-0
  uint8_t discSize = 0;        // data byte 1 bits 7-4: 0 120 mm, 1 80 mm
  uint8_t maximumRate = 0;     // data byte 1 bits 3-0
  int layers = 1;              // data byte 2 bits 6-5, plus one
  bool oppositeTrackPath = false;  // data byte 2 bit 4
  uint8_t layerType = 0;       // data byte 2 bits 3-0: embossed, recordable, rewritable
  uint32_t startPsn = 0;       // data bytes 4-7: first PSN of the data area
  uint32_t endPsn = 0;         // data bytes 8-11: last PSN of the data area
  uint32_t endPsnLayer0 = 0;   // data bytes 12-15: last PSN of layer 0 (OTP)

  // First LBA of layer 1 on a dual-layer disc: layer 0's sectors, from the
  // end of layer 0 on an OTP disc, from the data area this layer's structure
  // describes on a PTP disc. Empty for one layer or addresses that do not fit.
  std::optional<int64_t> layerBreakLba() const;
  bool operator==(const DvdPhysicalFormat&) const = default;
};
// Empty when the reply does not reach data byte 15.
std::optional<DvdPhysicalFormat> parseDvdPhysicalFormat(std::span<const uint8_t> reply);

// "DVD-ROM", "DVD-R", "DVD+R DL", ...; "book type 5h" for one without a name.
std::string dvdBookTypeName(uint8_t bookType);

// Who made a recordable DVD or BD, as its lead-in records it.
struct MediaId {
  std::string manufacturer;    // blanks and NULs at the end removed
  std::string mediaType;       // DVD+R(W) and BD-R(E); empty for DVD-R(W)
  std::optional<uint8_t> revision;  // DVD+R(W) and BD-R(E)
  bool operator==(const MediaId&) const = default;
};

enum class MediaIdStatus {
  Found,
  Short,         // the reply stops before the identification
  Unrecognised,  // the bytes are not the structure (field IDs, book type or DI unit wrong)
};

struct MediaIdReply {
  MediaIdStatus status = MediaIdStatus::Short;
  MediaId id;  // filled when found
  bool operator==(const MediaIdReply&) const = default;
};

// Format 0Eh: the manufacturer ID of pre-pit fields 3 and 4 (data bytes 17-22
// and 25-30, after field IDs 3 and 4 at data bytes 16 and 24).
MediaIdReply parsePrePitMediaId(std::span<const uint8_t> reply);
// Format 11h: manufacturer ID (data bytes 19-26), media type ID (27-29) and
// product revision (30) of a disc whose ADIP book type is DVD+R or DVD+RW.
MediaIdReply parseAdipMediaId(std::span<const uint8_t> reply);

// BD disc information (media type 1, format 00h): disc information units of
// 112 bytes from byte 4, each starting "DI".
struct BdDiscInformationUnit {
  int layer = 0;              // byte 3 bits 2-0: the layer the unit describes
  std::string discType;       // bytes 8-10: "BDO", "BDR", "BDW"
  int layers = 1;             // byte 12 bits 7-4
  uint32_t firstAun = 0;      // bytes 24-27: first address unit of the layer's data zone
  uint32_t lastAun = 0;       // bytes 28-31: its last address unit
  std::optional<MediaId> id;  // bytes 100-111 of a BD-R or BD-RE unit that holds them
  bool operator==(const BdDiscInformationUnit&) const = default;
};
struct BdDiscInformation {
  // Units whose first 32 bytes (through the last AUN) the reply holds, from
  // byte 4 on, until one is not "DI" or stops short.
  std::vector<BdDiscInformationUnit> units;
  int layers() const { return units.empty() ? 0 : units.front().layers; }
  // Sectors of layer 0's data zone from its unit: address units count 2048-byte
  // sectors, two to a unit, the last AUN naming the last unit's first sector.
  std::optional<int64_t> layer0Sectors() const;
  // The identification of the first unit: Short when the reply stops before
  // it, Unrecognised for a disc type other than BD-R and BD-RE.
  MediaIdReply mediaId() const;
  bool operator==(const BdDiscInformation&) const = default;
};
// Empty when the reply holds no such unit.
std::optional<BdDiscInformation> parseBdDiscInformation(std::span<const uint8_t> reply);

}  // namespace tmx
