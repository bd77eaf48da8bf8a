// Any bytes as an INQUIRY reply: the texts stay inside their fields, stop at
// a NUL, and never come from bytes past the reply's additional length.
#include <cstdint>
#include <span>

#include "drive/drive_discovery.h"
#include "drive/reply_parsers.h"
#include "fuzz_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> reply(data, size);
  const InquiryTexts texts = parseInquiry(reply);
  fuzz::require(texts.vendor.size() <= 8 && texts.product.size() <= 16 && texts.revision.size() <= 4);
  for (const std::string* text : {&texts.vendor, &texts.product, &texts.revision}) {
    fuzz::require(text->find('\0') == std::string::npos);
  }
  if (size > 4) {
    const auto stale = fuzz::withStaleTail(reply, size_t{data[4]} + 5, 0x66);
    const InquiryTexts again = parseInquiry(stale);
    fuzz::require(again.vendor == texts.vendor && again.product == texts.product && again.revision == texts.revision);
  }
  fuzz::require(!formatDriveLine(DriveAddress{0, 0}, texts).empty());
  return 0;
}
