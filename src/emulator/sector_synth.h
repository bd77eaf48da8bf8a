// Deterministic sector contents, generated on demand: music-like audio and
// mode 1 data sectors. Contents repeat with a long period so that any run of
// consecutive sectors is one contiguous copy out of a precomputed table; that
// keeps a whole-disc read cheap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tmx::emu {

inline constexpr size_t kRawSectorBytes = 2352;
inline constexpr size_t kUserDataBytes = 2048;
inline constexpr size_t kC2Bytes = 294;
inline constexpr size_t kFramesPerSector = 588;  // stereo 16-bit frames of 4 bytes

// Two voices (a plucked melody on a pentatonic scale and a bass line), stereo,
// 16-bit little-endian, looping every kPeriodFrames frames. Never silent.
class AudioTable {
 public:
  static constexpr int64_t kPeriodFrames = 262'139;  // about 5.9 s; not a multiple of a sector
  explicit AudioTable(uint64_t seed);
  // Writes frames [frame, frame + count) of the endless loop; frame may be negative.
  void copyFrames(int64_t frame, size_t count, uint8_t* out) const;

 private:
  std::vector<uint8_t> bytes_;  // one period plus a margin, so most copies are one memcpy
};

// Pseudo-random user data; each sector starts with its LBA (big-endian) so
// sectors are told apart.
class DataTable {
 public:
  static constexpr int64_t kPeriodBytes = 65'521;
  explicit DataTable(uint64_t seed);
  void copyUserData(int32_t lba, size_t sectors, uint8_t* out, size_t stride) const;

 private:
  std::vector<uint8_t> bytes_;
};

// Mode 1 EDC: CRC-32 (polynomial 8001801Bh, reflected) over sync, header and
// user data, stored little-endian after the user data.
uint32_t mode1Edc(std::span<const uint8_t> bytes);

// Frames a mode 1 sector whose user data is already at bytes 16..2063: sync,
// BCD header, EDC, 8 zero bytes and the P and Q parity of the Reed-Solomon
// product code.
void frameMode1Sector(int32_t lba, std::span<uint8_t, kRawSectorBytes> sector);

}  // namespace tmx::emu
