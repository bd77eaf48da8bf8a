// Any bytes as the drive check's replies: the track table and the full TOC
// behind the disc type line, and the disc information and ATIP the
// recordable media lookup reads. Nothing is read outside the reply, and what
// is reported stays in its range.
#include <cstdint>
#include <span>

#include "drivecheck/recordable_media.h"
#include "drivecheck/report_lines.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  fuzz::ByteReader in(std::span<const uint8_t>(data, size));
  // The first byte splits the input between disc information and ATIP.
  const auto discInformation = in.take(in.byte() % 48);
  const auto reply = in.rest();

  const TocTrackCounts tracks = tocTrackCounts(reply);
  fuzz::require(tracks.data >= 0 && tracks.audio >= 0 && static_cast<size_t>(tracks.tracks()) * 8 <= size);
  const int type = discTypeFromFullToc(reply);
  fuzz::require(type >= -1 && type <= 255);
  fuzz::require(discTypeLine(tracks, type).starts_with("Type         : "));

  const RecordableDisc disc = identifyFromReplies(discInformation, reply);
  fuzz::require(disc.dyeType >= 0 && disc.dyeType <= 9);
  fuzz::require(disc.xCompatibility >= 0 && disc.xCompatibility <= 30);
  if (disc.found) fuzz::require(!disc.manufacturer.empty() && disc.capacityFrames >= 0);
  return 0;
}
