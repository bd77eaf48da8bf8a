// Any bytes as the drive check's replies: mode pages in both headers, the
// capabilities page, the track table, the full TOC, and the disc information
// and ATIP the recordable media lookup reads. Nothing is read outside the
// reply, and what is reported stays in its range.
#include <cstdint>
#include <span>

#include "drivecheck/drive_check_replies.h"
#include "drivecheck/recordable_media.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  fuzz::ByteReader in(std::span<const uint8_t>(data, size));
  // The first byte splits the input between disc information and ATIP.
  const auto discInformation = in.take(in.byte() % 48);
  const auto reply = in.rest();

  for (bool ten : {false, true}) {
    for (uint8_t code : {uint8_t{0x01}, uint8_t{0x2A}}) {
      const auto page = findModePage(reply, ten, code);
      if (page.empty()) continue;
      fuzz::require(page.data() >= reply.data() && page.data() + page.size() <= reply.data() + reply.size());
      fuzz::require((page[0] & 0x3F) == code);
      if (const auto facts = parseCapabilityPage(page)) {
        fuzz::require(facts->bufferKiB >= 0 && facts->bufferKiB <= 0xFFFF);
        fuzz::require(facts->maximumReadKBps >= 0 && facts->maximumReadKBps <= 0xFFFF);
      }
    }
  }
  const TocTrackCounts tracks = tocTrackCounts(reply);
  fuzz::require(tracks.data >= 0 && tracks.audio >= 0 && static_cast<size_t>(tracks.tracks()) * 8 <= size);
  const int type = discTypeFromFullToc(reply);
  fuzz::require(type >= -1 && type <= 255);
  fuzz::require(!discTypeLine(tracks, type).empty());

  const RecordableDisc disc = identifyFromReplies(discInformation, reply);
  fuzz::require(disc.dyeType >= 0 && disc.dyeType <= 9);
  fuzz::require(disc.xCompatibility >= 0 && disc.xCompatibility <= 30);
  if (disc.found) fuzz::require(!disc.manufacturer.empty() && disc.capacityFrames >= 0);
  return 0;
}
