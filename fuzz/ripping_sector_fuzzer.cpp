// Any bytes as a sector the ripping check got back: the sub-channel search,
// the Q frame, the C2 tally and the stream offset never read past the reply.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_bytes.h"
#include "ripping/c2_analysis.h"
#include "ripping/sector_checks.h"
#include "ripping/stream_offset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> sector(data, size);
  const int32_t lba = size >= 4 ? static_cast<int32_t>(data[0] << 8 | data[1]) - 150 : 0;
  for (SubChoice sub : {SubChoice::RawPw, SubChoice::FormattedQ}) {
    const auto at = findSubchannel(sector, lba, sub);
    if (at) fuzz::require(*at + (sub == SubChoice::RawPw ? 96u : 16u) <= size);
  }
  if (size >= 12) {
    const auto pos = qAbsoluteLba(std::span<const uint8_t, 12>(data, 12));
    if (pos) fuzz::require(*pos >= -150 && *pos < 100 * 60 * 75);
  }
  if (size >= 2352 + 294) {
    SectorRereads reads;
    reads.data = {std::vector<uint8_t>(data, data + 2352), std::vector<uint8_t>(2352, 0)};
    reads.c2 = {std::vector<uint8_t>(data + 2352, data + 2352 + 294), std::vector<uint8_t>(294, 0)};
    C2Tally tally;
    tallySector(reads, tally);
    fuzz::require(tally.flaggedDiffering + tally.flaggedIdentical + tally.differingUnflagged <= 1);
  }
  const size_t half = size / 2;
  const auto offset = streamOffsetFrames(sector.first(half), sector, 0, 64);
  if (offset) fuzz::require(*offset >= -64 && *offset <= 64);
  return 0;
}
