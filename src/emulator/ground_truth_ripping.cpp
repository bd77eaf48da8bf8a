#include <algorithm>

#include "emulator/c2_fate.h"
#include "emulator/ground_truth.h"

namespace tmx::emu {

bool GroundTruth::readsCd() const { return !drive_->profile().rejectedOpcodes.test(0xBE) && drive_->profile().readsCdda; }

bool GroundTruth::readsCdMsf() const {
  return drive_->profile().ripping.readCdMsf && !drive_->profile().rejectedOpcodes.test(0xB9) &&
         drive_->profile().readsCdda;
}

bool GroundTruth::readsCdda() const { return !drive_->profile().rejectedOpcodes.test(0xD8); }

uint8_t GroundTruth::subchannels(uint8_t opcode) const {
  const RippingTraits& t = drive_->profile().ripping;
  switch (opcode) {
    case 0xBE: return readsCd() ? t.subReadCd : 0;
    case 0xB9: return readsCdMsf() ? t.subReadCdMsf : 0;
    case 0xD8: return readsCdda() ? t.subReadCdda : 0;
    default: return 0;
  }
}

GroundTruth::C2Counts GroundTruth::c2Counts(int32_t first, int32_t count) const {
  C2Counts counts;
  const Disc* disc = drive_->disc();
  if (disc == nullptr) return counts;
  const RippingTraits& t = drive_->profile().ripping;
  for (int32_t lba = std::max(first, 0); lba < std::min(first + count, disc->capacity()); ++lba) {
    const SectorDamage d = disc->damageAt(lba);
    if (d.unreadable || d.badBytes == 0) continue;
    const C2Fate fate = c2Fate(t, lba);
    // Flags pushed past the sector's last byte are lost.
    const bool flagged = c2Pointers() && fate != C2Fate::Missed && d.firstBadByte + t.c2ShiftBytes < 2352;
    const bool differs = fate != C2Fate::FalseFlag;
    if (flagged && differs) ++counts.flaggedDiffering;
    if (flagged && !differs) ++counts.flaggedIdentical;
    if (!flagged && differs) ++counts.differingUnflagged;
  }
  return counts;
}

int32_t GroundTruth::cacheSectors() const { return static_cast<int32_t>(drive_->profile().ripping.cacheBytes / 2352); }

GroundTruth::SpeedControl GroundTruth::speedControl() const {
  const RippingTraits& t = drive_->profile().ripping;
  if (t.ignoresSpeed) return SpeedControl::Ignored;
  return t.speedCapX > 0 ? SpeedControl::Capped : SpeedControl::Obeyed;
}

}  // namespace tmx::emu
