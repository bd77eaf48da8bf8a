// Any bytes as a GET PERFORMANCE reply: whole descriptors inside the reply's
// own length only, and the fastest figure one of theirs.
#include <algorithm>
#include <cstdint>
#include <span>

#include "drive/performance_replies.h"
#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const auto parsed = parsePerformance(reply);
  const size_t claimed = size >= 4 ? size_t{readBe32(reply, 0)} + 4 : 0;
  if (size < 8 || claimed < 8) fuzz::require(!parsed.has_value());
  fuzz::require(parsePerformance(fuzz::withStaleTail(reply, claimed, 0x66)) == parsed);
  if (!parsed) return 0;
  fuzz::require(8 + 16 * parsed->descriptors.size() <= std::min(size, claimed));
  if (const auto fastest = maximumPerformanceKBps(*parsed)) {
    fuzz::require(*fastest > 0 && !parsed->write && !parsed->except);
    fuzz::require(std::any_of(parsed->descriptors.begin(), parsed->descriptors.end(), [&](const auto& d) {
      return d.startKBps == *fastest || d.endKBps == *fastest;
    }));
  }
  return 0;
}
