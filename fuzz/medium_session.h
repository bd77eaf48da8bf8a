// The medium probe the medium fuzzer runs against a drive whose answers come
// from the input, shared with the seed writer that records the emulated
// drives' answers for it. Input: one choice byte (the speed to set), then the
// answers in drive_session.h's layout.
#pragma once

#include <cmath>

#include "drive/medium_probe.h"
#include "drive_session.h"

namespace tmx::fuzz {

inline void runMediumSession(DriveCommands& commands, uint8_t speedChoice) {
  const DriveAddress drive{0, 0};
  const Medium m = probeMedium(commands, drive);
  require(m.layers >= 1 && m.layers <= 15);
  require(m.capacitySectors >= 0 && m.capacitySectors <= 0x80000000LL);
  require(m.profileName.empty() == (m.profile == kProfileNone));
  if (m.kind != MediumKind::CD) require(mediumKindOfProfile(m.profile) == m.kind);
  if (m.layerBreakLba) require(m.layers > 1 && *m.layerBreakLba >= 1);
  if (const auto x = maximumReadSpeedX(commands, drive, m)) require(*x > 0 && std::isfinite(*x));
  require(knownStatus(setReadSpeedX(commands, drive, m, speedChoice % 32)));
  if (const auto config = readConfiguration(commands, drive)) require(config->profiles.size() <= 2048 / 4);
}

}  // namespace tmx::fuzz
