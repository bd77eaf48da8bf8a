#include "emulator/ident_replies.h"

namespace tmx::emu {

std::array<uint8_t, kInquiryLength> inquiryReply(uint8_t peripheralType, bool removable, std::string_view vendor,
                                                 std::string_view product, std::string_view revision) {
  std::array<uint8_t, kInquiryLength> b{};
  b[0] = peripheralType;
  b[1] = removable ? 0x80 : 0x00;
  b[2] = 0x05;  // SPC-3
  b[3] = 0x02;  // response data format
  b[4] = static_cast<uint8_t>(kInquiryLength - 5);
  putPadded(b, 8, vendor, 8);
  putPadded(b, 16, product, 16);
  putPadded(b, 32, revision, 4);
  return b;
}

std::array<uint8_t, 8> readCapacityReply(uint32_t lastLba) {
  return {static_cast<uint8_t>(lastLba >> 24), static_cast<uint8_t>(lastLba >> 16), static_cast<uint8_t>(lastLba >> 8),
          static_cast<uint8_t>(lastLba), 0, 0, 0x08, 0x00};
}

}  // namespace tmx::emu
