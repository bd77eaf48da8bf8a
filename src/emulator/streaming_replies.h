// GET PERFORMANCE and SET STREAMING, the way DVD and BD drives report and set
// their read speed. Performance is in KB/s of 1000 bytes, the medium's X
// times its KB per X (1385 DVD, 4495.5 BD, 176 CD).
#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include "emulator/drive_profile.h"
#include "emulator/mechanics.h"
#include "emulator/toc_replies.h"

namespace tmx::emu {

// Type 00h, nominal read performance at the speed limit in effect: one
// descriptor for each stretch over which the speed changes smoothly (a layer,
// a Z-CLV zone, a CAV stretch before and after it meets the cap), from the
// one that holds `startLba` on. The header counts every descriptor; the
// caller cuts the reply to those asked for.
Reply performanceReply(const DriveProfile& profile, const Mechanics& mechanics, int32_t capacity, double limitX,
                       uint32_t startLba);

// The read speed in X that a SET STREAMING performance descriptor asks for:
// read size (KB) over read time (ms); restoring the defaults asks for the
// maximum, `maxX`.
std::variant<double, Sense> streamingReadX(std::span<const uint8_t> list, double kbpsPerX, double maxX);

}  // namespace tmx::emu
