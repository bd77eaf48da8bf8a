// Why a request failed, in words, when its sense code cannot say it: a drive
// that never answered, a host adapter error, a drive that went away. Shown
// under the "Read error at ..." line, which keeps its code.
#pragma once

#include <string>

#include "platform/request_block.h"

namespace tmx {

class AspiTransport;

// Empty for a request that succeeded or whose sense data explains the failure.
// `devicePath` is the node the request went through ("/dev/sr0"), where known.
std::string requestFailureCause(const SrbExecScsiCmd& request, const std::string& devicePath = {});

// Whether the drive or its host refused the command itself (ILLEGAL REQUEST
// with INVALID COMMAND OPERATION CODE, a host that failed it without sense
// data, or the kernel's command filter), so another command may do the job.
// A unit attention, a drive that is not ready, a medium error or a timeout
// are failures of the drive.
bool commandRefused(const SrbExecScsiCmd& request);

// Whether the kernel's command filter kept the command from the drive: no
// drive error, the same answer every time for that command.
bool refusedByKernel(const SrbExecScsiCmd& request);

// The same for the transport's last request, naming the device node its
// adapter sent it through, and "not sent, <reason>" for one its send guard
// kept from the drive.
std::string lastFailureCause(const AspiTransport& transport);

}  // namespace tmx
