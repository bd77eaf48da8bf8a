#include <gtest/gtest.h>

#include <cerrno>

#include "platform/aspi_codes.h"
#include "platform/sg_io_mapping.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

SysfsScsiDevice device(const char* address, int type, const char* sg) {
  SysfsScsiDevice d;
  EXPECT_TRUE(parseScsiAddress(address, d));
  d.type = type;
  d.sgName = sg;
  return d;
}

TEST(PlanAdapters, RenumbersHostsWithOpticalDevices) {
  auto plan = planAdapters({
      device("12:0:0:0", 5, "sg4"),  // USB drive on a high host number
      device("0:0:0:0", 0, "sg0"),   // hard disk: not ours
      device("1:0:1:0", 5, "sg2"),
      device("1:0:0:0", 5, "sg1"),
      device("7:0:0:0", 5, "sg3"),
  });
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(plan[0].kernelHost, 1);
  ASSERT_EQ(plan[0].targets.size(), 2u);
  EXPECT_EQ(plan[0].targets[0].sgName, "sg1");
  EXPECT_EQ(plan[0].targets[1].sgName, "sg2");
  EXPECT_EQ(plan[1].kernelHost, 7);
  EXPECT_EQ(plan[2].kernelHost, 12);
  EXPECT_EQ(plan[2].targets[0].sgName, "sg4");

  SysfsScsiDevice d;
  EXPECT_FALSE(parseScsiAddress("host0", d));
  EXPECT_FALSE(parseScsiAddress("1:2:3:4x", d));
}

TEST(SgIoMapping, StatusByOutcome) {
  SgIoOutcome ok;
  EXPECT_EQ(mapSgIoOutcome(ok).status, aspi::kComplete);

  Bytes sense{0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0x00};
  SgIoOutcome check;
  check.status = 0x02;
  check.driverStatus = 0x08;
  check.sense = sense;
  ScsiResult r = mapSgIoOutcome(check);
  EXPECT_EQ(r.status, aspi::kError);
  EXPECT_EQ(r.sense[2], 0x02);
  EXPECT_EQ(r.sense[12], 0x3A);

  SgIoOutcome timeout;
  timeout.hostStatus = 0x03;
  r = mapSgIoOutcome(timeout);
  EXPECT_GE(r.status, 0x80);
  EXPECT_EQ(r.hostStatus, aspi::kHaTimeout);

  SgIoOutcome gone;
  gone.hostStatus = 0x01;
  EXPECT_EQ(mapSgIoOutcome(gone).status, aspi::kNoDevice);

  SgIoOutcome failedIoctl;
  failedIoctl.ioctlOk = false;
  failedIoctl.error = EIO;
  EXPECT_GE(mapSgIoOutcome(failedIoctl).status, 0x80);

  // Recovered error flagged with GOOD status is still success.
  Bytes recovered{0x70, 0, 0x01, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x17, 0x01};
  SgIoOutcome soft;
  soft.driverStatus = 0x08;
  soft.sense = recovered;
  EXPECT_EQ(mapSgIoOutcome(soft).status, aspi::kComplete);

  SgIoOutcome shortRead;
  shortRead.residual = 48;
  shortRead.transferLength = 56;
  EXPECT_EQ(mapSgIoOutcome(shortRead).transferred, 8);
  EXPECT_EQ(mapSgIoOutcome(ok).transferred, -1) << "no residual: unknown, as libata reports it";
}

TEST(SgIoMapping, DescriptorSenseBecomesFixed) {
  // Key 5, ASC 21h, ASCQ 00h, information descriptor 0001E240h, stream flags ILI.
  Bytes descriptor{0x72, 0x05, 0x21, 0x00, 0, 0, 0, 16,
                   0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, 0x00, 0x01, 0xE2, 0x40,
                   0x04, 0x02, 0x00, 0x20};
  const auto fixed = toFixedSense(descriptor);
  EXPECT_EQ(fixed[0], 0xF0);
  EXPECT_EQ(fixed[2], 0x25);
  EXPECT_EQ(fixed[7], 10);
  EXPECT_EQ(fixed[12], 0x21);
  EXPECT_EQ(fixed[13], 0x00);
  EXPECT_EQ((Bytes{fixed[3], fixed[4], fixed[5], fixed[6]}), (Bytes{0x00, 0x01, 0xE2, 0x40}));

  // A descriptor length running past the data is not followed.
  Bytes truncated{0x72, 0x02, 0x3A, 0x00, 0, 0, 0, 40, 0x00, 0x0A, 0x80};
  const auto cut = toFixedSense(truncated);
  EXPECT_EQ(cut[2], 0x02);
  EXPECT_EQ(cut[12], 0x3A);
  EXPECT_EQ(cut[3], 0);

  EXPECT_EQ(toFixedSense(Bytes{0x73, 0x06})[0], 0x71);
  EXPECT_EQ(toFixedSense(Bytes{0x00, 0x05})[2], 0) << "unknown response code: no sense";
  EXPECT_EQ(toFixedSense({})[0], 0);
}

TEST(SgIoMapping, ClearsRepliesExceptReads) {
  for (uint8_t op : {0x12, 0x43, 0x5A, 0x25, 0x51, 0x03}) EXPECT_TRUE(shouldClearReplyArea(op)) << int{op};
  for (uint8_t op : {0x28, 0xA8, 0xBE, 0xD8}) EXPECT_FALSE(shouldClearReplyArea(op)) << int{op};
}

}  // namespace
}  // namespace tmx

namespace tmx {
namespace {

TEST(SgIoMapping, ShortRepliesGetABufferLargerThanTheDriversOwn) {
  EXPECT_EQ(sgBounceLength(0x43, DataDirection::In, 804, 32768), 32768u + 4096);
  EXPECT_EQ(sgBounceLength(0x12, DataDirection::In, 56, 32768), 32768u + 4096);
  EXPECT_EQ(sgBounceLength(0x43, DataDirection::In, 65536, 32768), 0u) << "already larger: fresh pages anyway";
  EXPECT_EQ(sgBounceLength(0x28, DataDirection::In, 2048, 32768), 0u) << "reads fill their whole buffer";
  EXPECT_EQ(sgBounceLength(0x55, DataDirection::Out, 16, 32768), 0u);
  EXPECT_EQ(sgBounceLength(0x43, DataDirection::In, 804, 0), 0u) << "sr nodes have no such buffer";
  EXPECT_EQ(sgBounceLength(0x43, DataDirection::In, 804, 0x7FFFFFFF), 0u) << "the block layer's limit, not a buffer";
}

}  // namespace
}  // namespace tmx
