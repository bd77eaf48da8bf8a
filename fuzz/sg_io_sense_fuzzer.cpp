// Any SG_IO outcome and any sense bytes a drive or the kernel returns: the
// conversion to fixed-format sense and the manager's status, and the sysfs
// names the adapter plan is built from.
#include <cerrno>
#include <cstdint>
#include <span>
#include <string>

#include "drive/cdb_rules.h"
#include "fuzz_bytes.h"
#include "platform/aspi_codes.h"
#include "platform/sg_io_mapping.h"

namespace {

using namespace tmx;

void checkFixedSense(std::span<const uint8_t> sense) {
  const std::array<uint8_t, 18> fixed = toFixedSense(sense);
  if (sense.empty()) return;
  const uint8_t code = sense[0] & 0x7F;
  if (code == 0x70 || code == 0x71) {
    for (size_t i = 0; i < std::min(sense.size(), fixed.size()); ++i) fuzz::require(fixed[i] == sense[i]);
  } else if (code == 0x72 || code == 0x73) {
    fuzz::require((fixed[0] & 0x7F) == code - 2);
    if (sense.size() > 1) fuzz::require((fixed[2] & 0x0F) == (sense[1] & 0x0F));
    if (sense.size() > 3) fuzz::require(fixed[12] == sense[2] && fixed[13] == sense[3]);
    // The composed code keeps key, ASC and ASCQ of the descriptor header.
    if (sense.size() > 3) {
      const uint32_t expected = uint32_t{sense[1] & 0x0Fu} << 16 | uint32_t{sense[2]} << 8 | sense[3];
      fuzz::require((composeSenseCode(fixed) & 0x0FFFFFu) == expected);
    }
  } else {
    fuzz::require(fixed == std::array<uint8_t, 18>{});
  }
}

void checkOutcome(fuzz::ByteReader& in) {
  SgIoOutcome outcome;
  const uint8_t flags = in.byte();
  outcome.ioctlOk = (flags & 0x01) == 0;
  static constexpr int kErrors[] = {0, ENODEV, ENXIO, ETIMEDOUT, EIO, EINVAL, ENOMEM, EPERM};
  outcome.error = kErrors[(flags >> 1) & 0x07];
  outcome.status = in.byte();
  outcome.hostStatus = in.byte();
  outcome.driverStatus = in.byte();
  outcome.residual = static_cast<int16_t>(in.u16());
  outcome.transferLength = in.u16();
  const auto sense = in.take(in.byte());
  outcome.sense = sense;
  checkFixedSense(sense);

  const ScsiResult result = mapSgIoOutcome(outcome);
  fuzz::require(result.status == aspi::kComplete || result.status == aspi::kError ||
                result.status == aspi::kInvalidCommand || result.status == aspi::kNoDevice);
  // Success only on GOOD status from a working host; the count never exceeds the request.
  if (result.status == aspi::kComplete) fuzz::require(outcome.ioctlOk && result.targetStatus == aspi::kTargetGood);
  fuzz::require(result.transferred == -1 ||
                (result.transferred >= 0 && result.transferred <= int64_t{outcome.transferLength}));
  fuzz::require(result.senseLength == 0 || result.senseLength == 18);
  if (result.status != aspi::kError) fuzz::require(result.senseLength == 0);
}

void checkSysfsNames(fuzz::ByteReader& in) {
  std::vector<SysfsScsiDevice> devices;
  while (!in.empty() && devices.size() < 64) {
    const auto name = in.take(in.byte() % 24);
    SysfsScsiDevice device;
    if (!parseScsiAddress(std::string(name.begin(), name.end()), device)) continue;
    device.type = in.byte() % 8;
    devices.push_back(device);
  }
  const auto plan = planAdapters(devices);
  for (size_t i = 0; i < plan.size(); ++i) {
    fuzz::require(!plan[i].targets.empty() && plan[i].targets.size() <= 16);
    if (i > 0) fuzz::require(plan[i - 1].kernelHost < plan[i].kernelHost);
    for (const auto& target : plan[i].targets) fuzz::require(target.type == 5 && target.host == plan[i].kernelHost);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ByteReader in(std::span<const uint8_t>(data, size));
  checkOutcome(in);
  checkSysfsNames(in);
  return 0;
}
