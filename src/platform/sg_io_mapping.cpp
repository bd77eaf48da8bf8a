#include "platform/sg_io_mapping.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <tuple>

#include "platform/aspi_codes.h"

namespace tmx {
namespace {

// Linux host and driver byte values (scsi.h).
constexpr uint16_t kDidOk = 0x00;
constexpr uint16_t kDidNoConnect = 0x01;
constexpr uint16_t kDidBusBusy = 0x02;
constexpr uint16_t kDidTimeOut = 0x03;
constexpr uint16_t kDidBadTarget = 0x04;
constexpr uint16_t kDriverTimeout = 0x06;
constexpr uint16_t kDriverSense = 0x08;

}  // namespace

std::vector<PlannedAdapter> planAdapters(std::vector<SysfsScsiDevice> devices) {
  std::erase_if(devices, [](const SysfsScsiDevice& d) { return d.type != 5; });
  std::sort(devices.begin(), devices.end(), [](const SysfsScsiDevice& a, const SysfsScsiDevice& b) {
    return std::tie(a.host, a.channel, a.id, a.lun) < std::tie(b.host, b.channel, b.id, b.lun);
  });
  std::vector<PlannedAdapter> adapters;
  for (const auto& device : devices) {
    if (adapters.empty() || adapters.back().kernelHost != device.host) {
      adapters.push_back(PlannedAdapter{device.host, {}});
    }
    if (adapters.back().targets.size() < 16) adapters.back().targets.push_back(device);
  }
  return adapters;
}

bool parseScsiAddress(const std::string& name, SysfsScsiDevice& out) {
  int h = 0, c = 0, t = 0, l = 0, consumed = 0;
  if (std::sscanf(name.c_str(), "%d:%d:%d:%d%n", &h, &c, &t, &l, &consumed) != 4) return false;
  if (static_cast<size_t>(consumed) != name.size()) return false;
  out.host = h;
  out.channel = c;
  out.id = t;
  out.lun = l;
  return true;
}

std::array<uint8_t, 18> toFixedSense(std::span<const uint8_t> sense) {
  std::array<uint8_t, 18> fixed{};
  if (sense.empty()) return fixed;
  const uint8_t code = sense[0] & 0x7F;
  if (code == 0x70 || code == 0x71) {
    std::copy_n(sense.begin(), std::min(sense.size(), fixed.size()), fixed.begin());
    return fixed;
  }
  if (code != 0x72 && code != 0x73) return fixed;
  fixed[0] = code == 0x72 ? 0x70 : 0x71;
  fixed[7] = 10;
  if (sense.size() > 1) fixed[2] = sense[1] & 0x0F;
  if (sense.size() > 2) fixed[12] = sense[2];
  if (sense.size() > 3) fixed[13] = sense[3];
  // Descriptors follow the 8-byte header; byte 7 gives their total length.
  const size_t end = sense.size() < 8 ? 0 : std::min(sense.size(), size_t{8} + sense[7]);
  for (size_t at = 8; at + 2 <= end;) {
    const uint8_t type = sense[at];
    const size_t length = size_t{sense[at + 1]} + 2;
    if (at + length > end) break;
    if (type == 0x00 && length >= 12) {
      // Information: keep it when it fits the fixed format's 32 bits.
      const auto info = sense.subspan(at + 4, 8);
      if (info[0] == 0 && info[1] == 0 && info[2] == 0 && info[3] == 0) {
        std::copy_n(info.begin() + 4, 4, fixed.begin() + 3);
        if (sense[at + 2] & 0x80) fixed[0] |= 0x80;
      }
    } else if (type == 0x04 && length >= 4) {
      // Stream commands: filemark, end-of-medium and incorrect-length flags.
      fixed[2] |= sense[at + 3] & 0xE0;
    }
    at += length;
  }
  return fixed;
}

ScsiResult mapSgIoOutcome(const SgIoOutcome& outcome) {
  ScsiResult result;
  if (!outcome.ioctlOk) {
    result.status = outcome.error == ENODEV || outcome.error == ENXIO ? aspi::kNoDevice : aspi::kInvalidCommand;
    switch (outcome.error) {
      case ETIMEDOUT: result.hostStatus = aspi::kHaTimeout; break;
      // The command filter's answer: the command never reached the drive.
      case EPERM: result.hostStatus = aspi::kHaRefusedByKernel; break;
      default: result.hostStatus = aspi::kHaPhaseError; break;
    }
    return result;
  }
  result.targetStatus = outcome.status & 0xFE;
  if (outcome.residual > 0 && static_cast<uint32_t>(outcome.residual) <= outcome.transferLength) {
    result.transferred = outcome.transferLength - static_cast<uint32_t>(outcome.residual);
  }
  switch (outcome.hostStatus) {
    case kDidOk:
      break;
    case kDidNoConnect:
    case kDidBadTarget:
      result.status = aspi::kNoDevice;
      result.hostStatus = aspi::kHaSelectionTimeout;
      return result;
    case kDidTimeOut:
      result.status = aspi::kInvalidCommand;
      result.hostStatus = aspi::kHaTimeout;
      return result;
    case kDidBusBusy:
      result.status = aspi::kInvalidCommand;
      result.hostStatus = aspi::kHaBusFree;
      return result;
    default:
      result.status = aspi::kInvalidCommand;
      result.hostStatus = aspi::kHaPhaseError;
      return result;
  }
  if ((outcome.driverStatus & 0x0F) == kDriverTimeout) {
    result.status = aspi::kInvalidCommand;
    result.hostStatus = aspi::kHaTimeout;
    return result;
  }
  const bool hasSense = !outcome.sense.empty() && (outcome.sense[0] & 0x70) == 0x70;
  // Some hosts flag sense on GOOD status for recovered errors (key 0 or 1).
  const bool senseIsError = hasSense && (toFixedSense(outcome.sense)[2] & 0x0F) > 1;
  if (result.targetStatus == aspi::kTargetGood && !((outcome.driverStatus & kDriverSense) && senseIsError)) {
    result.status = aspi::kComplete;
    return result;
  }
  result.status = aspi::kError;
  if (hasSense) {
    result.sense = toFixedSense(outcome.sense);
    result.senseLength = static_cast<uint32_t>(result.sense.size());
  }
  return result;
}

bool shouldClearReplyArea(uint8_t opcode) {
  switch (opcode) {
    case 0x28:  // READ(10)
    case 0xA8:  // READ(12)
    case 0xBE:  // READ CD
    case 0xB9:  // READ CD MSF
    case 0xD8:  // vendor CD-DA read
      return false;
    default:
      return true;
  }
}

size_t sgBounceLength(uint8_t opcode, DataDirection direction, size_t length, int reservedSize) {
  if (direction != DataDirection::In || !shouldClearReplyArea(opcode) || reservedSize <= 0) return 0;
  // The block layer answers the same query for sr nodes with its own, very
  // large limit; no sg file has a buffer that size.
  constexpr int kLargestSgBuffer = 1 << 20;
  if (reservedSize > kLargestSgBuffer || length > static_cast<size_t>(reservedSize)) return 0;
  return static_cast<size_t>(reservedSize) + 4096;
}

std::string permissionHint(const std::string& devicePath) {
  return "Cannot open " + devicePath +
         ": permission denied. Optical drives belong to the 'cdrom' group: run "
         "'sudo usermod -aG cdrom $USER' and log in again (or run as root).";
}

}  // namespace tmx
