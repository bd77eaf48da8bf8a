#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "drive/aspi_transport.h"
#include "drive/request_failure.h"
#include "platform/aspi_codes.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {

using testing::SentCommand;

struct Rig {
  explicit Rig(ScsiManager::Completion completion = ScsiManager::Completion::Immediate) {
    transport = std::make_unique<AspiTransport>([this, completion] {
      auto manager = std::make_unique<ScsiManager>(completion);
      auto adapter = std::make_unique<testing::ScriptedAdapter>(&log);
      device = adapter.get();
      manager->addAdapter(std::move(adapter));
      return manager;
    });
  }
  std::vector<SentCommand> log;
  testing::ScriptedAdapter* device = nullptr;
  std::unique_ptr<AspiTransport> transport;
};

TEST(AspiTransport, LoadReportsAdapterCountOrZero) {
  Rig rig;
  EXPECT_EQ(rig.transport->LoadAspiManager(), 1);

  AspiTransport missing([] { return std::unique_ptr<ScsiManager>(); });
  EXPECT_EQ(missing.LoadAspiManager(), 0);
  const uint8_t cdb[6] = {};
  EXPECT_EQ(missing.ExecuteCdb(0, 0, cdb, nullptr, 0), -1) << "nothing can be sent without a manager";

  AspiTransport empty([] { return std::make_unique<ScsiManager>(); });
  EXPECT_EQ(empty.LoadAspiManager(), 0);
  EXPECT_TRUE(empty.loaded()) << "a manager without adapters stays loaded until unload";
  empty.UnloadAspiManager();
  EXPECT_FALSE(empty.loaded());
}

TEST(AspiTransport, RequestBlockFollowsOpcodeRules) {
  Rig rig;
  rig.transport->LoadAspiManager();
  rig.device->at(3, [](const ScsiCommand&, std::span<uint8_t>) { return testing::good(); });

  uint8_t buffer[2048];
  const uint8_t read10[10] = {0x28, 0, 0, 0, 0, 9, 0, 0, 1, 0};
  EXPECT_EQ(rig.transport->ExecuteCdb(0, 3, read10, buffer, 2048), 1);
  const SrbExecScsiCmd& srb = rig.transport->lastRequest();
  EXPECT_EQ(srb.SRB_Cmd, 2);
  EXPECT_EQ(srb.SRB_HaId, 0);
  EXPECT_EQ(srb.SRB_Target, 3);
  EXPECT_EQ(srb.SRB_Lun, 0);
  EXPECT_EQ(srb.SRB_Flags, aspi::kDirIn | aspi::kEventNotify);
  EXPECT_EQ(srb.SRB_CDBLen, 10);
  EXPECT_EQ(srb.SRB_SenseLen, 14);
  EXPECT_EQ(srb.SRB_BufLen, 2048u);
  ASSERT_EQ(rig.log.size(), 1u);
  EXPECT_EQ(rig.log[0].cdb, std::vector<uint8_t>(read10, read10 + 10));
  EXPECT_EQ(rig.log[0].direction, DataDirection::In);

  const uint8_t modeSelect6[6] = {0x15, 0, 0, 0, 12, 0};
  uint8_t list[12] = {0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 8, 0};
  rig.transport->ExecuteCdb(0, 3, modeSelect6, list, 12);
  EXPECT_EQ(rig.transport->lastRequest().SRB_Flags, aspi::kDirOut | aspi::kEventNotify);
  EXPECT_EQ(rig.log[1].cdb.size(), 6u);
  EXPECT_EQ(rig.log[1].dataOut, std::vector<uint8_t>(list, list + 12));

  const uint8_t readCd[12] = {0xBE};
  rig.transport->ExecuteCdb(0, 3, readCd, nullptr, 0);
  EXPECT_EQ(rig.log[2].cdb.size(), 12u);
  EXPECT_EQ(rig.log[2].direction, DataDirection::None) << "no buffer, no data phase";
  EXPECT_EQ(rig.transport->lastRequest().SRB_Flags, aspi::kDirIn | aspi::kEventNotify);
  EXPECT_EQ(rig.transport->lastRequest().SRB_BufPointer, nullptr);
}

TEST(AspiTransport, SenseCodeIsKeptPerRequest) {
  Rig rig;
  rig.transport->LoadAspiManager();
  int calls = 0;
  rig.device->at(0, [&](const ScsiCommand&, std::span<uint8_t>) {
    ++calls;
    if (calls == 1) return testing::checkCondition(0x02, 0x3A, 0x00);
    if (calls == 2) return testing::checkCondition(0x22, 0x3A, 0x00);
    return testing::good();
  });
  const uint8_t tur[6] = {};
  EXPECT_EQ(rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0), 4);
  EXPECT_EQ(rig.transport->LastSenseCode(), 0x023A00u);
  rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0);
  EXPECT_EQ(rig.transport->LastSenseCode(), 0x223A00u);
  EXPECT_EQ(rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0), 1);
  EXPECT_EQ(rig.transport->LastSenseCode(), 0u) << "a request without sense clears the code";

  EXPECT_EQ(rig.transport->ExecuteCdb(0, 9, tur, nullptr, 0), aspi::kNoDevice);
  EXPECT_EQ(rig.transport->ExecuteCdb(5, 0, tur, nullptr, 0), aspi::kInvalidHostAdapter);
}

// The kinds of failure callers tell apart. A sense key is its low four bits:
// a unit attention with the ILI bit set in its byte is still one.
TEST(AspiTransport, LastFailureNamesItsKind) {
  Rig rig;
  rig.transport->LoadAspiManager();
  std::vector<ScsiResult> replies = {testing::checkCondition(0x26, 0x28, 0x00), testing::checkCondition(0x05, 0x20, 0x00),
                                     ScsiResult{aspi::kInvalidCommand, aspi::kHaTimeout, 0, {}, 0, -1},
                                     ScsiResult{aspi::kInvalidCommand, aspi::kHaPhaseError, 0, {}, 0, -1},
                                     testing::good()};
  size_t next = 0;
  rig.device->at(0, [&](const ScsiCommand&, std::span<uint8_t>) { return replies[next++]; });
  const uint8_t tur[6] = {};
  rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0);
  DriveFailure f = rig.transport->lastFailure();
  EXPECT_TRUE(f.unitAttention()) << "byte 2 was 26h";
  EXPECT_EQ(f.senseKey, 0x06);
  EXPECT_EQ(f.asc, 0x28);
  EXPECT_FALSE(f.refused);
  EXPECT_EQ(rig.transport->LastSenseCode(), 0x262800u) << "the code shown keeps the byte as it came";

  rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0);
  EXPECT_TRUE(rig.transport->lastFailure().refused) << "ILLEGAL REQUEST, invalid opcode";
  rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0);
  f = rig.transport->lastFailure();
  EXPECT_TRUE(f.timedOut());
  EXPECT_FALSE(f.refused) << "a hang is not a refusal";
  rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0);
  EXPECT_EQ(rig.transport->lastFailure().kind, FailureKind::HostError);
  EXPECT_TRUE(rig.transport->lastFailure().refused);
  rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0);
  EXPECT_FALSE(rig.transport->lastFailure().failed());
  rig.transport->ExecuteCdb(0, 9, tur, nullptr, 0);
  EXPECT_EQ(rig.transport->lastFailure().kind, FailureKind::NoDevice);

  // A guard that keeps the request back: not sent, and said why.
  struct Refuser final : SendGuard {
    std::string refusal(uint8_t) override { return "stopped"; }
    void ended(uint8_t, const DriveFailure&) override {}
  } refuser;
  rig.transport->setSendGuard(&refuser);
  EXPECT_EQ(rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0), kAspiNotSent);
  EXPECT_EQ(rig.transport->lastFailure().kind, FailureKind::NotSent);
  EXPECT_EQ(lastFailureCause(*rig.transport), "not sent, stopped");
  rig.transport->setSendGuard(nullptr);
  EXPECT_EQ(next, replies.size()) << "the refused request never reached the drive";
}

TEST(AspiTransport, PendingRequestIsWaitedFor) {
  Rig rig(ScsiManager::Completion::Asynchronous);
  rig.transport->LoadAspiManager();
  rig.device->at(1, [](const ScsiCommand&, std::span<uint8_t> data) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    testing::fill(data, {0xAB, 0xCD});
    return testing::checkCondition(0x05, 0x21, 0x00);
  });
  uint8_t buffer[2] = {};
  const uint8_t read10[10] = {0x28};
  EXPECT_EQ(rig.transport->ExecuteCdb(0, 1, read10, buffer, 2), 4);
  EXPECT_EQ(buffer[0], 0xAB);
  EXPECT_EQ(rig.transport->LastSenseCode(), 0x052100u);
}

// A manager that leaves a request pending must not hold the caller: past the
// wait bound the request fails as a host timeout, and a late completion
// writes neither the caller's buffer nor its (by then dead) event.
TEST(AspiTransport, RequestNeverSignalledFailsAfterTheBound) {
  Rig rig;
  rig.transport->LoadAspiManager();
  rig.transport->setWaitBound([](uint8_t) { return std::chrono::milliseconds(1); });
  rig.device->at(0, [](const ScsiCommand&, std::span<uint8_t>) {
    ScsiResult pending = testing::good();
    pending.status = aspi::kPending;
    return pending;
  });
  const uint8_t tur[6] = {};
  EXPECT_EQ(rig.transport->ExecuteCdb(0, 0, tur, nullptr, 0), aspi::kInvalidCommand);
  EXPECT_EQ(rig.transport->lastRequest().SRB_HaStat, aspi::kHaTimeout);
  EXPECT_EQ(rig.transport->LastSenseCode(), 0u);

  Rig async(ScsiManager::Completion::Asynchronous);
  async.transport->LoadAspiManager();
  async.transport->setWaitBound([](uint8_t) { return std::chrono::milliseconds(1); });
  std::mutex gate;
  gate.lock();
  async.device->at(1, [&](const ScsiCommand&, std::span<uint8_t> data) {
    std::lock_guard hold(gate);
    testing::fill(data, {0xEE});
    return testing::good();
  });
  async.device->at(2, [](const ScsiCommand&, std::span<uint8_t>) { return testing::good(); });
  auto buffer = std::make_unique<uint8_t[]>(1);
  buffer[0] = 0x11;
  const uint8_t read10[10] = {0x28};
  EXPECT_EQ(async.transport->ExecuteCdb(0, 1, read10, buffer.get(), 1), aspi::kInvalidCommand);
  buffer.reset();  // the caller is free to drop its buffer
  gate.unlock();
  // A bound the next request can meet on a loaded machine.
  async.transport->setWaitBound([](uint8_t) { return std::chrono::milliseconds(10'000); });
  uint8_t next[1] = {};
  EXPECT_EQ(async.transport->ExecuteCdb(0, 2, read10, next, 1), aspi::kComplete)
      << "the abandoned request does not block the next one";
}

// A read error line carries a sense code; these failures have none, so the
// cause is said in words.
TEST(RequestFailureCause, NamesWhatTheSenseCodeCannot) {
  SrbExecScsiCmd r;
  r.SRB_Status = aspi::kComplete;
  EXPECT_EQ(requestFailureCause(r), "");
  r.SRB_Status = aspi::kInvalidCommand;
  r.SRB_HaStat = aspi::kHaTimeout;
  r.CDBByte[0] = 0x28;
  EXPECT_EQ(requestFailureCause(r), "Drive did not answer within 30 s");
  r.CDBByte[0] = 0x1B;
  EXPECT_EQ(requestFailureCause(r), "Drive did not answer within 60 s");
  r.SRB_HaStat = aspi::kHaPhaseError;
  EXPECT_EQ(requestFailureCause(r), "The host adapter or its driver failed the request");
  r.SRB_Status = aspi::kNoDevice;
  EXPECT_EQ(requestFailureCause(r), "The drive is no longer present");

  r = SrbExecScsiCmd{};
  r.SRB_Status = aspi::kError;
  r.SRB_TargStat = aspi::kTargetCheckCondition;
  r.SenseArea[2] = 0x03;
  r.SenseArea[12] = 0x11;
  EXPECT_EQ(requestFailureCause(r), "") << "the sense code says it";
  r.SenseArea[2] = r.SenseArea[12] = 0;
  EXPECT_EQ(requestFailureCause(r), "The drive reported an error without sense data");
  r.SRB_TargStat = aspi::kTargetBusy;
  EXPECT_EQ(requestFailureCause(r), "The drive reported busy");
}

}  // namespace
}  // namespace tmx
