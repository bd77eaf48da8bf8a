#include "drive/drive_failure.h"

#include "drive/request_failure.h"
#include "platform/aspi_codes.h"

namespace tmx {

DriveFailure classifyRequest(const SrbExecScsiCmd& r) {
  DriveFailure f;
  if (r.SRB_Status == aspi::kComplete) return f;
  f.refused = commandRefused(r);
  f.kernelRefused = refusedByKernel(r);
  if (r.SRB_Status == aspi::kNoDevice || r.SRB_Status == aspi::kInvalidHostAdapter) {
    f.kind = FailureKind::NoDevice;
  } else if (r.SRB_HaStat == aspi::kHaTimeout) {
    f.kind = FailureKind::Timeout;
  } else if (r.SRB_Status == aspi::kError) {
    // A check condition, with or without sense data.
    f.kind = FailureKind::Sense;
    f.senseKey = r.SenseArea[2] & 0x0F;
    f.asc = r.SenseArea[12];
    f.ascq = r.SenseArea[13];
  } else {
    f.kind = FailureKind::HostError;
  }
  return f;
}

}  // namespace tmx
