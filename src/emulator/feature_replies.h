// GET CONFIGURATION replies: the feature header (data length, current
// profile) and the descriptors of the features the drive has, from the
// starting feature on: all of them (RT 00b), the current ones (01b), or the
// starting one alone (10b).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/disc.h"
#include "emulator/toc_replies.h"

namespace tmx::emu {

struct FeatureFacts {
  std::vector<uint16_t> profiles;  // as the drive lists them
  uint16_t currentProfile = 0;     // 0: no disc the drive reads
  bool dvd = false;                // the drive reads DVD, BD
  bool bd = false;
  bool c2Pointers = false;
  bool streaming = false;
  std::string serialNumber;        // none when empty
};

Reply configurationReply(const FeatureFacts& facts, uint8_t requestType, uint16_t startingFeature);

}  // namespace tmx::emu
