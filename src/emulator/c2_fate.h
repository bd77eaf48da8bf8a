// How a drive's C2 pointers treat one damaged sector: flagged as it should
// be, altered without a flag, or flagged though delivered right. Chosen per
// sector by hash, so the ground truth and the drive agree.
#pragma once

#include <cstdint>

#include "emulator/drive_profile.h"
#include "emulator/hash_mix.h"

namespace tmx::emu {

enum class C2Fate { Flagged, Missed, FalseFlag };

inline C2Fate c2Fate(const RippingTraits& traits, int32_t lba) {
  const auto roll = static_cast<int>(hashMix(static_cast<uint64_t>(lba) * 0x2545F4914F6CDD1Dull + 0xC2) % 100);
  if (roll < traits.c2MissPercent) return C2Fate::Missed;
  if (roll < traits.c2MissPercent + traits.c2FalsePercent) return C2Fate::FalseFlag;
  return C2Fate::Flagged;
}

}  // namespace tmx::emu
