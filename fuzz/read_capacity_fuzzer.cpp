// Any bytes as a READ CAPACITY reply: the length and the panel's disc time.
#include <cstdint>
#include <span>

#include "drive/disc_probe.h"
#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const int32_t sectors = capacityFromReply(reply);
  if (size < 4) fuzz::require(sectors == 0);
  // Only the first four bytes count.
  fuzz::require(capacityFromReply(fuzz::withStaleTail(reply, 4, 0x5A)) == sectors);
  const std::string time = FormatDiscTime(sectors);
  fuzz::require(!time.empty() && time.size() < 64);
  return 0;
}
