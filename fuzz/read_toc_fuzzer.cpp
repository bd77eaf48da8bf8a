// Any bytes as a READ TOC reply of format 0 (tracks), 2 (full TOC) or 4
// (ATIP): every parser stays inside the reply and its own data length.
#include <cstdint>
#include <span>

#include "drive/disc_probe.h"
#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const size_t claimed = size >= 2 ? size_t{readBe16(reply, 0)} + 2 : 0;
  const auto stale = fuzz::withStaleTail(reply, claimed, 0x66);

  const TocTrackCounts counts = tocTrackCounts(reply);
  fuzz::require(counts.data >= 0 && counts.audio >= 0 && counts.tracks() <= 256);
  fuzz::require(static_cast<size_t>(counts.tracks()) * 8 + 4 <= std::max<size_t>(size, 4));
  const int kind = classifyTocReply(reply);
  fuzz::require(kind >= kDiscUnknown && kind <= kDiscMixed);
  fuzz::require((kind == kDiscUnknown) == (counts.tracks() == 0));
  const TocTrackCounts again = tocTrackCounts(stale);
  fuzz::require(again.data == counts.data && again.audio == counts.audio);

  const int type = discTypeFromFullToc(reply);
  fuzz::require(type >= -1 && type <= 255);
  fuzz::require(discTypeFromFullToc(stale) == type);

  const auto atip = parseAtip(reply);
  const auto atipAgain = parseAtip(stale);
  fuzz::require(atip == atipAgain);
  // Each field only when the reply reaches it, the later ones after the earlier.
  if (atip) fuzz::require(claimed >= 11 && size >= 11 && (!atip->a1 || atip->leadOut));
  if (atip && atip->a1) fuzz::require(claimed >= 17 && size >= 17);
  return 0;
}
