// Any bytes as a MODE SENSE(6) or (10) reply: pages 01h and 2Ah are found
// inside the reply's mode data length, whatever the block descriptor length
// claims, and the capabilities never come from bytes the drive did not send.
#include <cstdint>
#include <span>

#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

namespace {

using namespace tmx;

bool sameCaps(const CdCapabilities& a, const CdCapabilities& b) {
  return a.maximumSpeed == b.maximumSpeed && a.currentSpeed == b.currentSpeed && a.bufferSizeKB == b.bufferSizeKB &&
         a.mediaFlags == b.mediaFlags && a.audioFlags == b.audioFlags && a.c2Pointers == b.c2Pointers;
}

void check(std::span<const uint8_t> reply, ModeHeader header) {
  const bool six = header == ModeHeader::Six;
  size_t claimed = 0;
  if (six && !reply.empty()) claimed = size_t{reply[0]} + 1;
  if (!six && reply.size() >= 2) claimed = size_t{readBe16(reply, 0)} + 2;
  const auto stale = fuzz::withStaleTail(reply, claimed, 0x66);

  for (uint8_t code : {uint8_t{0x01}, uint8_t{0x2A}}) {
    const auto page = findModePage(reply, header, code);
    if (page.empty()) continue;
    // The page lies inside the reply and inside what the drive claimed to send.
    fuzz::require(page.data() >= reply.data() && page.data() + page.size() <= reply.data() + reply.size());
    fuzz::require(static_cast<size_t>(page.data() + page.size() - reply.data()) <= claimed);
    fuzz::require((page[0] & 0x3F) == code);
    fuzz::require(findModePage(stale, header, code).size() == page.size());
    // A page found is the one the capabilities are read from.
    if (code == 0x2A) fuzz::require(sameCaps(capabilitiesFromPage(page), parseCdCapabilities(reply, header)));
  }
  const CdCapabilities caps = parseCdCapabilities(reply, header);
  fuzz::require(caps.maximumSpeed >= 0 && caps.maximumSpeed <= 0xFFFF && caps.currentSpeed <= 0xFFFF);
  fuzz::require(caps.c2Pointers == ((caps.audioFlags & 0x10) != 0));
  fuzz::require(sameCaps(caps, parseCdCapabilities(stale, header)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> reply(data, size);
  check(reply, ModeHeader::Six);
  check(reply, ModeHeader::Ten);
  return 0;
}
