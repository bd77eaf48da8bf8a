// Any bytes as a READ DISC INFORMATION reply: the erasable bit and the disc
// status are read only when the drive sent byte 2.
#include <cstdint>
#include <span>

#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const auto facts = parseDiscInformation(reply);
  const size_t claimed = size >= 2 ? size_t{readBe16(reply, 0)} + 2 : 0;
  if (size < 3 || claimed < 3) fuzz::require(!facts.has_value());
  fuzz::require(parseDiscInformation(fuzz::withStaleTail(reply, claimed, 0x66)) == facts);
  return 0;
}
