// A fixed disk on the emulated adapter (peripheral type 00h), so discovery has
// something to skip. It answers INQUIRY, TEST UNIT READY, REQUEST SENSE and
// READ CAPACITY; everything else is an unknown opcode.
#pragma once

#include <cstdint>
#include <string>

#include "platform/host_adapter.h"

namespace tmx::emu {

struct DiskIdentity {
  std::string vendor = "TACHOEMU";
  std::string product = "FIXED DISK";
  std::string revision = "1.00";
  uint32_t blocks = 8'388'608;  // 512-byte blocks: 4 GiB
};

class DiskDevice {
 public:
  explicit DiskDevice(DiskIdentity identity) : identity_(std::move(identity)) {}
  ScsiResult execute(const ScsiCommand& command) const;
  const DiskIdentity& identity() const { return identity_; }

 private:
  DiskIdentity identity_;
};

}  // namespace tmx::emu
