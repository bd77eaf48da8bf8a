#include "drive/request_failure.h"

#include <chrono>

#include "drive/aspi_transport.h"
#include "drive/command_names.h"
#include "platform/aspi_codes.h"
#include "platform/host_adapter.h"
#include "platform/scsi_manager.h"

namespace tmx {
namespace {

bool senseGiven(const SrbExecScsiCmd& r) {
  // Fixed-format sense: key, ASC or ASCQ set.
  return (r.SenseArea[2] & 0x0F) != 0 || r.SenseArea[12] != 0 || r.SenseArea[13] != 0;
}

}  // namespace

std::string requestFailureCause(const SrbExecScsiCmd& r, const std::string& devicePath) {
  if (r.SRB_Status == aspi::kComplete) return {};
  if (r.SRB_Status == aspi::kNoDevice) return "The drive is no longer present";
  if (r.SRB_Status == aspi::kInvalidHostAdapter) return "The drive's host adapter is no longer present";
  if (r.SRB_Status == aspi::kAborted) return "The request was aborted";
  switch (r.SRB_HaStat) {
    case aspi::kHaTimeout: {
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(commandTimeout(r.CDBByte[0])).count();
      return "Drive did not answer within " + std::to_string(seconds) + " s";
    }
    case aspi::kHaSelectionTimeout: return "The drive did not respond to selection";
    case aspi::kHaDataOverrun: return "The host adapter reported a data overrun or underrun";
    case aspi::kHaBusFree: return "The drive dropped off the bus unexpectedly";
    case aspi::kHaPhaseError: return "The host adapter or its driver failed the request";
    case aspi::kHaRefusedByKernel:
      // The sg driver's nodes pass every command; the cdrom group does not help here.
      return "The kernel refused " + commandName(r.CDBByte[0]) + (devicePath.empty() ? "" : " on " + devicePath) +
             " to a user who is not root: load the sg module (sudo modprobe sg)";
    default: break;
  }
  if (senseGiven(r)) return {};
  if (r.SRB_TargStat == aspi::kTargetBusy) return "The drive reported busy";
  if (r.SRB_TargStat == aspi::kTargetCheckCondition) return "The drive reported an error without sense data";
  if (r.SRB_Status == aspi::kPending) return "The request never completed";
  return "The request failed with status " + std::to_string(r.SRB_Status) + " and no sense data";
}

bool commandRefused(const SrbExecScsiCmd& r) {
  if (r.SRB_Status == aspi::kComplete) return false;
  if (r.SRB_Status == aspi::kInvalidCommand && r.SRB_HaStat == aspi::kHaPhaseError) return true;
  if (refusedByKernel(r)) return true;
  return (r.SenseArea[2] & 0x0F) == 0x05 && r.SenseArea[12] == 0x20;
}

bool refusedByKernel(const SrbExecScsiCmd& r) {
  return r.SRB_Status == aspi::kInvalidCommand && r.SRB_HaStat == aspi::kHaRefusedByKernel;
}

std::string lastFailureCause(const AspiTransport& transport) {
  if (!transport.lastRefusal().empty()) return "not sent, " + transport.lastRefusal();
  const SrbExecScsiCmd& request = transport.lastRequest();
  const HostAdapter* adapter = transport.manager() ? transport.manager()->adapter(request.SRB_HaId) : nullptr;
  return requestFailureCause(request, adapter ? adapter->devicePath(request.SRB_Target) : std::string());
}

}  // namespace tmx
