// The closing verdict of the ripping check in plain words, each claim with
// the measurement it stands on:
//   "Caches about 1.6 MB of audio: rip with cache defeat; C2 pointers
//    reliable; accurate stream"
// A part that was not measured says so rather than guessing.
#pragma once

#include <string>
#include <vector>

#include "ripping/ripping_features.h"

namespace tmx {

struct Verdict {
  std::string sentence;
  std::vector<std::string> claims;  // "claim: measurement"
};
Verdict rippingVerdict(const RippingFeatures& f);

// "1.6 MB" from 1024 KB up, else "696 KB".
std::string cacheSizeText(double kb);

}  // namespace tmx
