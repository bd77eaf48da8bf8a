// Where a reference stretch of audio reappears in a later read of a wider
// window around it: the accurate-stream test of one pass.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tmx {

inline constexpr int32_t kFrameBytes = 4;  // a stereo 16-bit sample pair

// `window` starts `leadFrames` before the reference's own position. Returns
// how many frames later (positive) or earlier the reference was found,
// searching up to `maxFrames` either way; empty when it is not there.
std::optional<int32_t> streamOffsetFrames(std::span<const uint8_t> reference, std::span<const uint8_t> window,
                                          int32_t leadFrames, int32_t maxFrames);

}  // namespace tmx
