// The banner artwork (data/banner.png, 181 x 38) as compiled into the program.
#pragma once

#include <string_view>

namespace tmx {

std::string_view bannerPng();

}  // namespace tmx
