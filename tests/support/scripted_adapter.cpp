#include "support/scripted_adapter.h"

namespace tmx::testing {

std::vector<uint8_t> inquiryReply(uint8_t peripheral, const std::string& vendor, const std::string& product,
                                  const std::string& revision) {
  std::vector<uint8_t> reply(56, 0);
  reply[0] = peripheral;
  reply[4] = 51;
  auto put = [&](size_t offset, size_t width, const std::string& text) {
    for (size_t i = 0; i < width; ++i) reply[offset + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
  };
  put(8, 8, vendor);
  put(16, 16, product);
  put(32, 4, revision);
  return reply;
}

}  // namespace tmx::testing
