// Identification replies: standard INQUIRY data and READ CAPACITY.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tmx::emu {

inline constexpr size_t kInquiryLength = 96;

// Peripheral type in byte 0 (05h CD-ROM, 00h direct access), removable bit,
// vendor (8), product (16) and revision (4) blank-padded, bytes 36 on zero.
std::array<uint8_t, kInquiryLength> inquiryReply(uint8_t peripheralType, bool removable, std::string_view vendor,
                                                 std::string_view product, std::string_view revision);

// Last LBA and a block length of 2048.
std::array<uint8_t, 8> readCapacityReply(uint32_t lastLba);

// Text cut or blank-padded to `width`, non-printable characters replaced.
template <size_t N>
void putPadded(std::array<uint8_t, N>& out, size_t at, std::string_view text, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    const char c = i < text.size() ? text[i] : ' ';
    out[at + i] = static_cast<uint8_t>(c >= 0x20 && c < 0x7F ? c : '?');
  }
}

}  // namespace tmx::emu
