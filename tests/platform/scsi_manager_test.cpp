#include <gtest/gtest.h>

#include <cstring>

#include "platform/aspi_codes.h"
#include "platform/completion_event.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {

TEST(ScsiManager, SupportInfoReportsStatusAndCount) {
  ScsiManager manager;
  EXPECT_EQ((manager.getSupportInfo() >> 8) & 0xFF, aspi::kNoAdapters);
  manager.addAdapter(std::make_unique<testing::ScriptedAdapter>());
  manager.addAdapter(std::make_unique<testing::ScriptedAdapter>());
  EXPECT_EQ(manager.getSupportInfo() & 0xFFFF, 0x0102u);
}

TEST(ScsiManager, SenseIsCutToTheRequestedLength) {
  ScsiManager manager;
  auto adapter = std::make_unique<testing::ScriptedAdapter>();
  adapter->at(0, [](const ScsiCommand&, std::span<uint8_t>) {
    auto r = testing::checkCondition(0x05, 0x24, 0x00);
    r.sense[15] = 0x99;  // beyond the 14 bytes asked for
    return r;
  });
  manager.addAdapter(std::move(adapter));
  SrbExecScsiCmd srb;
  srb.SRB_Cmd = aspi::kScExecScsiCmd;
  srb.SRB_SenseLen = 14;
  srb.SRB_CDBLen = 6;
  EXPECT_EQ(manager.send(srb), aspi::kError);
  EXPECT_EQ(srb.SenseArea[12], 0x24);
  EXPECT_EQ(srb.SenseArea[15], 0);
  EXPECT_EQ(srb.SRB_TargStat, aspi::kTargetCheckCondition);

  srb.SRB_Cmd = 7;
  EXPECT_EQ(manager.send(srb), aspi::kInvalidSrb);
}

TEST(ScsiManager, AsynchronousRequestSignalsItsEvent) {
  ScsiManager manager(ScsiManager::Completion::Asynchronous);
  auto adapter = std::make_unique<testing::ScriptedAdapter>();
  adapter->at(0, [](const ScsiCommand&, std::span<uint8_t>) { return testing::good(); });
  manager.addAdapter(std::move(adapter));
  CompletionEvent event;
  SrbExecScsiCmd srb;
  srb.SRB_Cmd = aspi::kScExecScsiCmd;
  srb.SRB_Flags = aspi::kEventNotify;
  srb.SRB_PostProc = &event;
  srb.SRB_CDBLen = 6;
  EXPECT_EQ(manager.send(srb), aspi::kPending);
  event.wait();
  EXPECT_EQ(srb.SRB_Status, aspi::kComplete);
  manager.drain();
}

TEST(ScsiManager, HostAdapterInquiryGivesIdentifier) {
  ScsiManager manager;
  manager.addAdapter(std::make_unique<testing::ScriptedAdapter>());
  SrbHaInquiry srb;
  srb.SRB_HaId = 0;
  EXPECT_EQ(manager.send(srb), aspi::kComplete);
  EXPECT_EQ(srb.HA_Count, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(srb.HA_Identifier), 8), "SCRIPTED");
  EXPECT_EQ(srb.HA_Identifier[8], 0);
  srb.SRB_HaId = 1;
  EXPECT_EQ(manager.send(srb), aspi::kInvalidHostAdapter);
}

}  // namespace
}  // namespace tmx
