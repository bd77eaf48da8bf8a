// Why a request failed, in words, when its sense code cannot say it: a drive
// that never answered, a host adapter error, a drive that went away. Shown
// under the "Read error at ..." line, which keeps its code.
#pragma once

#include <string>

#include "platform/request_block.h"

namespace tmx {

// Empty for a request that succeeded or whose sense data explains the failure.
std::string requestFailureCause(const SrbExecScsiCmd& request);

}  // namespace tmx
