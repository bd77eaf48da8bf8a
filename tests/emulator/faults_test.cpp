// Faults on demand: their text form, and each one appearing where configured.
#include <gtest/gtest.h>

#include "emulator/presets.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;

Fault parsed(std::string_view text) {
  auto f = parseFault(text);
  EXPECT_TRUE(std::holds_alternative<Fault>(f)) << text;
  return std::holds_alternative<Fault>(f) ? std::get<Fault>(f) : Fault{};
}

TEST(FaultText, ParsesEveryFormAndFormatsItBack) {
  for (const char* text : {"read-error@1000", "read-error@10-20", "hang@28", "hang@BE*3", "hang@D8*all",
                           "remove-after=40", "remove-after=1500ms", "unit-attention", "unit-attention-after=7"}) {
    EXPECT_EQ(formatFault(parsed(text)), text);
  }
  EXPECT_EQ(parsed("hang@0x2b").first, 0x2B);
  EXPECT_EQ(parsed("hang@2Bh").first, 0x2B);
  EXPECT_EQ(parsed("remove-after=5s").first, 5'000'000'000);
}

TEST(FaultText, RejectsMalformedTextsWithAReason) {
  for (const char* text : {"", "read-error@", "read-error@20-10", "read-error@-5", "hang@", "hang@1FF", "hang@28*0",
                           "remove-after=", "remove-after=x", "remove-after=9300000000000000000ms",
                           "remove-after=5777777777777777s", "unit-attention-after=", "explode"}) {
    const auto f = parseFault(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(f)) << text;
    EXPECT_NE(std::get<std::string>(f).find(text), std::string::npos);
  }
}

// Every number is bounded before it is scaled or stored: no overflow, and a
// value too large is refused rather than wrapped.
TEST(FaultText, NumbersOutOfRangeAreRefusedNotWrapped) {
  for (const char* text : {"remove-after=99999999999s", "remove-after=9223372036854775807ms",
                           "remove-after=99999999999999999999", "read-error@99999999999999999999",
                           "read-error@0-99999999999", "hang@28*99999999999", "unit-attention-after=99999999999"}) {
    const auto f = parseFault(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(f)) << text;
    EXPECT_NE(std::get<std::string>(f).find("out of range"), std::string::npos) << std::get<std::string>(f);
  }
  EXPECT_EQ(parsed("remove-after=86400s").first, 86'400'000'000'000);
  EXPECT_EQ(parsed("read-error@0-9999999").last, 9'999'999);
}

class Faults : public ::testing::Test {
 protected:
  VirtualClock clock;
  EmulatedAdapter adapter{clock};
  DriveModel* drive = adapter.attachDrive(0, DriveProfile{}, testing::discOf(DiscContent::Data, 50'000));
};

TEST_F(Faults, ReadErrorHitsEveryReadCoveringTheLba) {
  drive->faults().add(parsed("read-error@1000"));
  EXPECT_TRUE(sendCdb(adapter, 0, testing::read10(975, 25), 25 * 2048).good());
  const auto hit = sendCdb(adapter, 0, testing::read10(990, 25), 25 * 2048);
  EXPECT_EQ(hit.senseCode(), 0x031100u);
  EXPECT_EQ(hit.result.sense[6], 1000 & 0xFF);
  EXPECT_EQ(sendCdb(adapter, 0, testing::readCd(1000, 1, 0xF8), 2352).senseCode(), 0x031100u);
  EXPECT_TRUE(sendCdb(adapter, 0, testing::read10(1001, 25), 25 * 2048).good());
}

TEST_F(Faults, HangWaitsForTheHostTimeoutThenFailsInTheHost) {
  drive->faults().add(parsed("hang@28"));
  ScsiCommand c;
  const std::vector<uint8_t> cdb = testing::read10(0, 1);
  std::vector<uint8_t> data(2048, 0);
  c.cdb = cdb;
  c.data = data;
  c.direction = DataDirection::In;
  c.timeout = std::chrono::milliseconds(7000);
  const int64_t t0 = clock.nowNs();
  const ScsiResult r = adapter.execute(c);
  EXPECT_EQ(clock.nowNs() - t0, 7'000'000'000);
  EXPECT_EQ(r.status, aspi::kInvalidCommand);
  EXPECT_EQ(r.hostStatus, aspi::kHaTimeout);
  EXPECT_TRUE(sendCdb(adapter, 0, testing::read10(0, 1), 2048).good());  // once by default
}

TEST_F(Faults, DiscDisappearsAfterTheConfiguredCommandCount) {
  drive->faults().add(parsed("remove-after=3"));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(sendCdb(adapter, 0, testing::read10(0, 1), 2048).good());
  EXPECT_EQ(sendCdb(adapter, 0, testing::read10(0, 1), 2048).senseCode(), 0x023A00u);
  EXPECT_EQ(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x023A00u);
}

TEST_F(Faults, DiscDisappearsAfterModelTime) {
  drive->faults().add(parsed("remove-after=2s"));
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());
  clock.advanceNs(1'900'000'000);
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());
  clock.advanceNs(200'000'000);
  EXPECT_EQ(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x023A00u);
}

TEST_F(Faults, UnitAttentionArrivesOnTheChosenCommand) {
  drive->faults().add(parsed("unit-attention-after=2"));
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());
  EXPECT_EQ(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x062800u);
  EXPECT_TRUE(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).good());
}

TEST_F(Faults, EjectAndReloadThroughStartStopUnit) {
  EXPECT_TRUE(sendCdb(adapter, 0, {0x1B, 0, 0, 0, 0x02, 0}, 0).good());
  EXPECT_EQ(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x023A02u);
  EXPECT_TRUE(sendCdb(adapter, 0, {0x1B, 0, 0, 0, 0x03, 0}, 0).good());
  EXPECT_EQ(sendCdb(adapter, 0, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x062800u);
  EXPECT_TRUE(sendCdb(adapter, 0, testing::read10(0, 1), 2048).good());
}

}  // namespace
}  // namespace tmx::emu
