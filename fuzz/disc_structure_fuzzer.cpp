// Any bytes as a READ DISC STRUCTURE reply, read as each structure: the DVD
// physical format, the DVD-R and DVD+R identifications, the BD disc
// information. Nothing comes from past the reply's own length, and what is
// reported stays in its range.
#include <cstdint>
#include <span>

#include "drive/disc_structure_replies.h"
#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const size_t claimed = size >= 2 ? size_t{readBe16(reply, 0)} + 2 : 0;
  const auto stale = fuzz::withStaleTail(reply, claimed, 0x66);

  const auto pfi = parseDvdPhysicalFormat(reply);
  fuzz::require(parseDvdPhysicalFormat(stale) == pfi);
  if (pfi) {
    fuzz::require(pfi->layers >= 1 && pfi->layers <= 4);
    fuzz::require(pfi->startPsn <= 0xFFFFFF && pfi->endPsn <= 0xFFFFFF && pfi->endPsnLayer0 <= 0xFFFFFF);
    if (const auto lb = pfi->layerBreakLba()) fuzz::require(pfi->layers == 2 && *lb >= 1 && *lb <= 0x1000000);
    fuzz::require(!dvdBookTypeName(pfi->bookType).empty());
  }

  const MediaIdReply prePit = parsePrePitMediaId(reply);
  fuzz::require(parsePrePitMediaId(stale) == prePit);
  fuzz::require(prePit.id.manufacturer.size() <= 12 && prePit.id.mediaType.empty());
  const MediaIdReply adip = parseAdipMediaId(reply);
  fuzz::require(parseAdipMediaId(stale) == adip);
  fuzz::require(adip.id.manufacturer.size() <= 8 && adip.id.mediaType.size() <= 3);

  const auto bd = parseBdDiscInformation(reply);
  fuzz::require(parseBdDiscInformation(stale) == bd);
  if (bd) {
    fuzz::require(!bd->units.empty() && (bd->units.size() - 1) * 112 + 32 + 4 <= size);
    fuzz::require(bd->layers() >= 0 && bd->layers() <= 15);
    const MediaIdReply id = bd->mediaId();
    fuzz::require(id.id.manufacturer.size() <= 6 && id.id.mediaType.size() <= 3);
    if (const auto l0 = bd->layer0Sectors()) fuzz::require(*l0 >= 2);
  }
  return 0;
}
