// Any bytes as a GET CONFIGURATION reply: the profiles and features come only
// from descriptors wholly inside the reply's own data length, and bytes past
// it change nothing.
#include <cstdint>
#include <span>

#include "drive/configuration_replies.h"
#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const auto config = parseConfiguration(reply);
  const size_t claimed = size >= 4 ? size_t{readBe32(reply, 0)} + 4 : 0;
  if (size < 8 || claimed < 8) fuzz::require(!config.has_value());
  fuzz::require(parseConfiguration(fuzz::withStaleTail(reply, claimed, 0x66)) == config);
  if (config) {
    fuzz::require(config->profiles.size() * 4 <= size);
    if (config->serialNumber) fuzz::require(config->serialNumber->size() <= 255);
  }
  return 0;
}
