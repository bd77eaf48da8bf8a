// C2 accuracy from re-reads of the same sectors: a sector differs when any
// read of it differs from its first, is flagged when any read set a C2 bit.
// A drive whose bits sit some bytes off the bytes they flag shows a constant
// shift between the flagged and the differing positions.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tmx {

inline constexpr size_t kC2PointerBytes = 294;

// One sector's reads: 2352 bytes of audio or raw data and 294 C2 bytes each.
struct SectorRereads {
  std::vector<std::vector<uint8_t>> data;
  std::vector<std::vector<uint8_t>> c2;
};

struct C2Tally {
  int32_t flaggedDiffering = 0;
  int32_t flaggedIdentical = 0;
  int32_t differingUnflagged = 0;
  // Positions seen, for the shift: score[k + kMaxShift] counts flagged bytes j
  // whose byte j - k differed.
  std::vector<int64_t> shiftScore;
};

inline constexpr int kMaxC2Shift = 16;

void tallySector(const SectorRereads& reads, C2Tally& tally);
// The shift that lines the flags up with the differing bytes best; empty when
// no sector was both flagged and different.
std::optional<int> c2Shift(const C2Tally& tally);

}  // namespace tmx
