#include "emulator/disk_device.h"

#include <algorithm>
#include <cstring>

#include "emulator/byte_order.h"
#include "emulator/ident_replies.h"
#include "emulator/sense.h"
#include "platform/aspi_codes.h"

namespace tmx::emu {

ScsiResult DiskDevice::execute(const ScsiCommand& command) const {
  ScsiResult result;
  result.status = aspi::kComplete;
  auto give = [&](std::span<const uint8_t> bytes, size_t allocation) {
    const size_t n = std::min({bytes.size(), allocation, command.data.size()});
    if (n > 0) std::memcpy(command.data.data(), bytes.data(), n);
    result.transferred = static_cast<int64_t>(n);
  };
  const uint8_t op = command.cdb.empty() ? 0xFF : command.cdb[0];
  if (op == 0x12 && command.cdb.size() >= 6) {
    give(inquiryReply(0x00, false, identity_.vendor, identity_.product, identity_.revision), be16(command.cdb, 3));
  } else if (op == 0x00) {
  } else if (op == 0x03 && command.cdb.size() >= 6) {
    give(fixedSenseBytes(sense::kNone), command.cdb[4]);
  } else if (op == 0x25) {
    std::array<uint8_t, 8> cap{};
    putBe32(cap, 0, identity_.blocks - 1);
    putBe32(cap, 4, 512);
    give(cap, cap.size());
  } else {
    result.status = aspi::kError;
    result.targetStatus = aspi::kTargetCheckCondition;
    result.sense = fixedSenseBytes(sense::kInvalidOpcode);
    result.senseLength = static_cast<uint32_t>(result.sense.size());
  }
  return result;
}

}  // namespace tmx::emu
