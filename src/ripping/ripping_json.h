// The ripping-features check as the "ripping" object of the CLI's JSON and
// of the results library's record of it: every answer, null where it was not
// measured.
#pragma once

#include <nlohmann/json.hpp>

#include "ripping/ripping_features.h"

namespace tmx {

nlohmann::ordered_json rippingJson(const RippingFeatures& f);

}  // namespace tmx
