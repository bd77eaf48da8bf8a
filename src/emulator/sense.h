// Sense conditions the emulated drive reports, and their fixed-format (70h)
// bytes.
#pragma once

#include <array>
#include <cstdint>

namespace tmx::emu {

struct Sense {
  uint8_t key = 0;
  uint8_t asc = 0;
  uint8_t ascq = 0;
  // Information field (the failing LBA of a medium error), when valid.
  bool infoValid = false;
  uint32_t info = 0;

  bool none() const { return key == 0 && asc == 0 && ascq == 0; }
  friend bool operator==(const Sense&, const Sense&) = default;
};

namespace sense {
inline constexpr Sense kNone{};
inline constexpr Sense kNoDisc{0x02, 0x3A, 0x00};
inline constexpr Sense kTrayOpen{0x02, 0x3A, 0x02};
inline constexpr Sense kInvalidOpcode{0x05, 0x20, 0x00};
inline constexpr Sense kLbaOutOfRange{0x05, 0x21, 0x00};
inline constexpr Sense kInvalidFieldInCdb{0x05, 0x24, 0x00};
inline constexpr Sense kInvalidFieldInParameters{0x05, 0x26, 0x00};
inline constexpr Sense kParameterLengthError{0x05, 0x1A, 0x00};
inline constexpr Sense kSavingNotSupported{0x05, 0x39, 0x00};
inline constexpr Sense kIllegalModeForTrack{0x05, 0x64, 0x00};
inline constexpr Sense kMediumMayHaveChanged{0x06, 0x28, 0x00};
inline constexpr Sense kUnrecoveredReadError{0x03, 0x11, 0x00};
}  // namespace sense

inline Sense mediumErrorAt(uint32_t lba) {
  Sense s = sense::kUnrecoveredReadError;
  s.infoValid = true;
  s.info = lba;
  return s;
}

// Fixed-format sense data, 18 bytes: response code 70h (F0h with a valid
// information field), key, information, additional length 10, ASC, ASCQ.
constexpr std::array<uint8_t, 18> fixedSenseBytes(const Sense& s) {
  std::array<uint8_t, 18> b{};
  b[0] = s.infoValid ? 0xF0 : 0x70;
  b[2] = s.key & 0x0F;
  b[3] = static_cast<uint8_t>(s.info >> 24);
  b[4] = static_cast<uint8_t>(s.info >> 16);
  b[5] = static_cast<uint8_t>(s.info >> 8);
  b[6] = static_cast<uint8_t>(s.info);
  b[7] = 10;
  b[12] = s.asc;
  b[13] = s.ascq;
  return b;
}

}  // namespace tmx::emu
