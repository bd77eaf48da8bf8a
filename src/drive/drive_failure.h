// How the last request to a drive ended, in the few kinds the program tells
// apart, so that no caller above the drive layer decodes request-block bytes:
// none, a sense reply with its key, a timeout, a drive or host that is gone,
// an error of the host, or not sent at all.
//
//   const DriveFailure f = transport.lastFailure();
//   if (f.unitAttention()) ...      // the disc changed: ask again
#pragma once

#include <cstdint>

#include "platform/request_block.h"

namespace tmx {

enum class FailureKind { None, Sense, Timeout, NoDevice, HostError, NotSent };

struct DriveFailure {
  FailureKind kind = FailureKind::None;
  // Sense: the key's low four bits (the ILI, EOM and filemark bits of its
  // byte are masked off), the additional sense code and its qualifier.
  uint8_t senseKey = 0;
  uint8_t asc = 0;
  uint8_t ascq = 0;
  // The drive or its host refused the command itself, so another command
  // may do the job (see commandRefused).
  bool refused = false;
  // The kernel's command filter kept the command from the drive: no error of
  // the drive or the disc (see refusedByKernel).
  bool kernelRefused = false;

  bool failed() const { return kind != FailureKind::None; }
  bool timedOut() const { return kind == FailureKind::Timeout; }
  bool unitAttention() const { return kind == FailureKind::Sense && senseKey == 0x06; }
  bool notReady() const { return kind == FailureKind::Sense && senseKey == 0x02; }

  friend bool operator==(const DriveFailure&, const DriveFailure&) = default;
};

// The failure of a request as the manager left it.
DriveFailure classifyRequest(const SrbExecScsiCmd& request);

// The key of a sense code (byte 2 << 16 | ASC << 8 | ASCQ), masked to its low
// four bits, for comparing codes whose byte 2 carries flag bits.
constexpr uint32_t maskedSenseCode(uint32_t senseCode) { return senseCode & 0x0FFFFFu; }

}  // namespace tmx
