#include <gtest/gtest.h>

#include "drive/drive_commands.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest()
      : transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = std::make_unique<testing::ScriptedAdapter>(&log);
          device = adapter.get();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }
  std::vector<testing::SentCommand> log;
  testing::ScriptedAdapter* device = nullptr;
  AspiTransport transport;
  DriveCommands commands;
  const DriveAddress drive{0, 2};
};

TEST_F(CommandsTest, SeekFallsBackToSeek10) {
  device->at(2, [](const ScsiCommand& c, std::span<uint8_t>) {
    return c.cdb[0] == 0x0B ? testing::checkCondition(5, 0x20, 0) : testing::good();
  });
  EXPECT_EQ(commands.Seek(drive, 0x123456), 1);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].cdb, (Bytes{0x0B, 0x12, 0x34, 0x56, 0, 0}));
  EXPECT_EQ(log[1].cdb, (Bytes{0x2B, 0, 0, 0x12, 0x34, 0x56, 0, 0, 0, 0}));

  log.clear();
  device->at(2, [](const ScsiCommand&, std::span<uint8_t>) { return testing::good(); });
  EXPECT_EQ(commands.Seek(drive, 10), 1);
  EXPECT_EQ(log.size(), 1u) << "no fallback after success";
}

TEST_F(CommandsTest, ModeSelectBlockModeFallsBackToSixByteList) {
  device->at(2, [](const ScsiCommand& c, std::span<uint8_t>) {
    return c.cdb[0] == 0x55 ? testing::checkCondition(5, 0x20, 0) : testing::good();
  });
  EXPECT_EQ(commands.ModeSelectBlockMode(drive, BlockModeData), 1);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].dataOut.size(), 16u);
  EXPECT_EQ(log[1].cdb, (Bytes{0x15, 0, 0, 0, 0x0C, 0}));
  EXPECT_EQ(log[1].dataOut, (Bytes{0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0x08, 0}));

  log.clear();
  EXPECT_EQ(commands.ModeSelectBlockMode(drive, 7), -1);
  EXPECT_TRUE(log.empty()) << "an unknown mode sends nothing";
}

TEST_F(CommandsTest, ReadAboveTwentyFiveBlocksTransfersNothing) {
  device->at(2, [](const ScsiCommand& c, std::span<uint8_t>) {
    return c.data.empty() ? testing::checkCondition(5, 0x24, 0) : testing::good();
  });
  std::vector<uint8_t> buffer(58800);
  EXPECT_NE(commands.Read12(drive, 0, 26, buffer.data()), 1);
  EXPECT_EQ(log.back().length, 0u);
  EXPECT_EQ(commands.ReadCdAudio(drive, 0, 25, buffer.data()), 1);
  EXPECT_EQ(log.back().length, 58800u);
}

Bytes page2a(uint16_t maxKb, uint16_t curKb, uint8_t capabilities5) {
  Bytes reply(30, 0);
  reply[1] = 28;  // mode data length: 30 bytes in all
  reply[8] = 0x2A;
  reply[9] = 20;
  reply[8 + 5] = capabilities5;
  reply[16] = static_cast<uint8_t>(maxKb >> 8);
  reply[17] = static_cast<uint8_t>(maxKb);
  reply[22] = static_cast<uint8_t>(curKb >> 8);
  reply[23] = static_cast<uint8_t>(curKb);
  return reply;
}

TEST_F(CommandsTest, ModeSenseValuesComeFromPage2a) {
  Bytes reply = page2a(52 * 176, 24 * 176, 0x10);
  device->at(2, [&](const ScsiCommand&, std::span<uint8_t> data) {
    testing::fill(data, reply);
    return testing::good();
  });
  int maximum = -1, current = -1, c2 = -1;
  EXPECT_EQ(commands.ModeSenseSpeeds(drive, maximum, current), 1);
  EXPECT_EQ(maximum, 9152);
  EXPECT_EQ(current, 4224);
  EXPECT_EQ(commands.ModeSenseC2Support(drive, c2), 1);
  EXPECT_EQ(c2, 0x10);

  // Values are taken even from a failed command.
  reply = page2a(1408, 704, 0);
  device->at(2, [&](const ScsiCommand&, std::span<uint8_t> data) {
    testing::fill(data, reply);
    return testing::checkCondition(5, 0x24, 0);
  });
  EXPECT_EQ(commands.ModeSenseSpeeds(drive, maximum, current), 4);
  EXPECT_EQ(maximum, 1408);
  EXPECT_EQ(commands.ModeSenseC2Support(drive, c2), 4);
  EXPECT_EQ(c2, 0);
}

TEST_F(CommandsTest, ModeSensePageSendsEitherFormAndReturnsThePageAlone) {
  const Bytes errorRecovery{0x01, 0x06, 0x00, 0x05, 0, 0, 0, 0};
  // A 6-byte header with one block descriptor the drive sent unasked.
  Bytes reply6{4 - 1 + 8 + 8, 0, 0, 8, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  reply6.insert(reply6.end(), errorRecovery.begin(), errorRecovery.end());
  Bytes reply = reply6;
  bool refuse = false;
  device->at(2, [&](const ScsiCommand&, std::span<uint8_t> data) {
    testing::fill(data, reply);
    return refuse ? testing::checkCondition(5, 0x20, 0) : testing::good();
  });
  std::vector<uint8_t> page{0x99};
  EXPECT_EQ(commands.ModeSensePage(drive, ModeHeader::Six, 0x01, 8, page), 1);
  EXPECT_EQ(page, errorRecovery);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].cdb, (Bytes{0x1A, 0, 0x01, 0, 20, 0}));
  EXPECT_EQ(log[0].length, 20u);

  reply = Bytes{0, 8 - 2 + 8, 0, 0, 0, 0, 0, 0};
  reply.insert(reply.end(), errorRecovery.begin(), errorRecovery.end());
  EXPECT_EQ(commands.ModeSensePage(drive, ModeHeader::Ten, 0x01, 8, page), 1);
  EXPECT_EQ(page, errorRecovery);
  EXPECT_EQ(log[1].cdb, (Bytes{0x5A, 0, 0x01, 0, 0, 0, 0, 0, 24, 0}));
  EXPECT_TRUE(commands.ModeSensePage(drive, ModeHeader::Ten, 0x2A, 8, page) == 1 && page.empty())
      << "another page than asked for";
  // A refused command leaves no page, whatever its buffer holds.
  refuse = true;
  reply = reply6;
  EXPECT_EQ(commands.ModeSensePage(drive, ModeHeader::Six, 0x01, 8, page), 4);
  EXPECT_TRUE(page.empty());
}

TEST(ReplyParsers, CapabilitiesIgnoreBytesBeyondTheClaimedLength) {
  Bytes reply = page2a(9152, 4224, 0x10);
  reply[1] = 14;  // claims 16 bytes: the page's speed fields were not sent
  const CdCapabilities caps = parseCdCapabilities(reply);
  EXPECT_EQ(caps.maximumSpeed, 0);
  EXPECT_EQ(caps.currentSpeed, 0);
  EXPECT_TRUE(caps.c2Pointers);

  // Block descriptors returned despite DBD push the page back.
  Bytes withDescriptor(38, 0);
  withDescriptor[1] = 36;
  withDescriptor[7] = 8;
  withDescriptor[16] = 0x2A;
  withDescriptor[24] = 0x1B;
  withDescriptor[25] = 0x80;
  EXPECT_EQ(parseCdCapabilities(withDescriptor).maximumSpeed, 0x1B80);

  EXPECT_EQ(parseCdCapabilities(Bytes{0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF}).maximumSpeed, 0);
  EXPECT_EQ(parseCdCapabilities(Bytes{}).currentSpeed, 0);
}

TEST(ReplyParsers, InquiryTextsStopAtFieldEndOrNul) {
  Bytes reply = testing::inquiryReply(0x05, "VENDOR", "PRODUCT", "1.0");
  InquiryTexts t = parseInquiry(reply);
  EXPECT_EQ(t.vendor, "VENDOR  ");
  EXPECT_EQ(t.product, "PRODUCT         ");
  EXPECT_EQ(t.revision, "1.0 ");
  EXPECT_EQ(t.peripheral, 0x05);

  reply[4] = 27;  // the drive sent 32 bytes: the revision field is left over
  t = parseInquiry(reply);
  EXPECT_EQ(t.product, "PRODUCT         ");
  EXPECT_EQ(t.revision, "");
  reply[4] = 51;

  t = parseInquiry(std::span<const uint8_t>(reply).first(20));
  EXPECT_EQ(t.vendor, "VENDOR  ");
  EXPECT_EQ(t.product, "PROD");
  EXPECT_EQ(t.revision, "");

  reply[10] = 0;
  EXPECT_EQ(parseInquiry(reply).vendor, "VE");
}

TEST(ReplyParsers, CapacityIs32BitLastLbaPlusOne) {
  EXPECT_EQ(capacityFromReply(Bytes{0, 0x05, 0x14, 0xC7, 0, 0, 8, 0}), 333000);
  EXPECT_EQ(capacityFromReply(Bytes{0xFF, 0xFF, 0xFF, 0x69}), -150);
  EXPECT_EQ(capacityFromReply(Bytes{0xFF, 0xFF}), 0);
}

TEST_F(CommandsTest, InquiryWantsCdRomWithQualifierZero) {
  Bytes reply = testing::inquiryReply(0x25, "V", "P", "R");
  device->at(2, [&](const ScsiCommand&, std::span<uint8_t> data) {
    testing::fill(data, reply);
    return testing::good();
  });
  InquiryTexts texts;
  EXPECT_FALSE(commands.Inquiry(drive, texts));
  reply[0] = 0x05;
  EXPECT_TRUE(commands.Inquiry(drive, texts));
  EXPECT_EQ(log.back().cdb, (Bytes{0x12, 0, 0, 0, 0x38, 0}));
  EXPECT_EQ(log.back().length, 56u);
}

}  // namespace
}  // namespace tmx
