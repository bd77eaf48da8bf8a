#include "ripping/c2_analysis.h"

#include <cstdlib>

namespace tmx {

void tallySector(const SectorRereads& reads, C2Tally& tally) {
  if (reads.data.empty()) return;
  if (tally.shiftScore.empty()) tally.shiftScore.assign(2 * kMaxC2Shift + 1, 0);
  const size_t length = reads.data.front().size();
  std::vector<bool> differs(length, false);
  std::vector<bool> flagged(length, false);
  bool anyDiff = false, anyFlag = false;
  for (size_t r = 0; r < reads.data.size(); ++r) {
    for (size_t i = 0; i < length && r > 0; ++i) {
      if (reads.data[r][i] != reads.data[0][i]) differs[i] = anyDiff = true;
    }
    const std::vector<uint8_t>& c2 = reads.c2[r];
    for (size_t i = 0; i < length && i / 8 < c2.size(); ++i) {
      if (c2[i / 8] & (0x80 >> (i % 8))) flagged[i] = anyFlag = true;
    }
  }
  if (anyFlag && anyDiff) ++tally.flaggedDiffering;
  if (anyFlag && !anyDiff) ++tally.flaggedIdentical;
  if (!anyFlag && anyDiff) ++tally.differingUnflagged;
  if (!anyFlag || !anyDiff) return;
  for (int k = -kMaxC2Shift; k <= kMaxC2Shift; ++k) {
    for (size_t j = 0; j < length; ++j) {
      const auto source = static_cast<int64_t>(j) - k;
      if (flagged[j] && source >= 0 && source < static_cast<int64_t>(length) && differs[static_cast<size_t>(source)]) {
        ++tally.shiftScore[static_cast<size_t>(k + kMaxC2Shift)];
      }
    }
  }
}

std::optional<int> c2Shift(const C2Tally& tally) {
  if (tally.shiftScore.empty() || tally.flaggedDiffering == 0) return std::nullopt;
  int best = 0;
  for (int k = -kMaxC2Shift; k <= kMaxC2Shift; ++k) {
    const int64_t score = tally.shiftScore[static_cast<size_t>(k + kMaxC2Shift)];
    const int64_t bestScore = tally.shiftScore[static_cast<size_t>(best + kMaxC2Shift)];
    // Ties go to the smaller shift: an aligned drive is not called shifted.
    if (score > bestScore || (score == bestScore && std::abs(k) < std::abs(best))) best = k;
  }
  return best;
}

}  // namespace tmx
