// Pure parts of the Linux SG_IO backend: which kernel SCSI devices become which
// host adapter and target, and how an SG_IO outcome maps to the manager's
// status and fixed-format sense.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/host_adapter.h"

namespace tmx {

// One device as sysfs describes it (/sys/bus/scsi/devices/H:C:T:L).
struct SysfsScsiDevice {
  int host = 0;
  int channel = 0;
  int id = 0;
  int lun = 0;
  int type = -1;           // peripheral device type; 5 = CD/DVD
  std::string sgName;      // "sg1", empty when the sg driver is absent
  std::string blockName;   // "sr0", empty when none
};

struct PlannedAdapter {
  int kernelHost = 0;
  std::vector<SysfsScsiDevice> targets;  // index = target id on our adapter
};

// Keeps the optical devices, orders them by kernel host and then by
// channel:id:lun, and gives each kernel host one adapter number (0, 1, 2...)
// so high host numbers of USB drives stay in the scan range. At most 16
// targets per adapter.
std::vector<PlannedAdapter> planAdapters(std::vector<SysfsScsiDevice> devices);

// Parses "H:C:T:L"; false when the name is not of that form.
bool parseScsiAddress(const std::string& name, SysfsScsiDevice& out);

struct SgIoOutcome {
  bool ioctlOk = true;
  int error = 0;               // errno when the ioctl failed
  uint8_t status = 0;          // SCSI status byte
  uint16_t hostStatus = 0;     // DID_*
  uint16_t driverStatus = 0;   // DRIVER_*
  std::span<const uint8_t> sense;  // the bytes the kernel wrote (sb_len_wr)
  int residual = 0;
  uint32_t transferLength = 0;
};

ScsiResult mapSgIoOutcome(const SgIoOutcome& outcome);

// Fixed-format (70h/71h) sense from fixed or descriptor-format (72h/73h) sense.
std::array<uint8_t, 18> toFixedSense(std::span<const uint8_t> sense);

// Replies of these commands are cleared before sending: ATAPI drives behind
// libata report no residual, so stale bytes of an earlier command would look
// like a reply. Reads are left alone (their buffers are large and overwritten).
bool shouldClearReplyArea(uint8_t opcode);

// The sg driver reuses one kernel buffer per open file for every transfer that
// fits it and copies the whole transfer length back, so a short reply would
// arrive followed by bytes of an earlier command. A transfer larger than that
// buffer gets fresh zeroed pages. Returns the transfer length to use for a
// reply of `length` bytes (a bounce buffer), or 0 when none is needed.
size_t sgBounceLength(uint8_t opcode, DataDirection direction, size_t length, int reservedSize);

// The user-facing hint when a device cannot be opened for lack of permission.
std::string permissionHint(const std::string& devicePath);

}  // namespace tmx
