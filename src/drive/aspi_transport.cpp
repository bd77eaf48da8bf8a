#include "drive/aspi_transport.h"

#include <cstring>

#include "drive/cdb_rules.h"
#include "platform/aspi_codes.h"
#include "platform/completion_event.h"
#include "platform/host_adapter.h"
#include "platform/scsi_manager.h"

namespace tmx {

AspiTransport::AspiTransport(ManagerLoader loader) : loader_(std::move(loader)) {}

AspiTransport::~AspiTransport() { UnloadAspiManager(); }

int AspiTransport::LoadAspiManager() {
  if (!manager_) {
    if (!loader_) return 0;
    manager_ = loader_();
    if (!manager_) return 0;
  }
  const uint32_t info = manager_->getSupportInfo();
  const uint32_t status = (info >> 8) & 0xFF;
  const int count = static_cast<int>(info & 0xFF);
  if (status != aspi::kComplete || count == 0) return 0;
  hostAdapterCount_ = count;
  return count;
}

void AspiTransport::UnloadAspiManager() {
  manager_.reset();
  hostAdapterCount_ = 0;
}

AspiStatus AspiTransport::ExecuteCdb(uint8_t hostAdapter, uint8_t target, const uint8_t* cdb, uint8_t* buffer,
                                     uint32_t length) {
  if (!manager_ || cdb == nullptr) return kAspiNotSent;
  refusal_ = guard_ ? guard_->refusal(cdb[0]) : std::string();
  if (!refusal_.empty()) {
    srb_ = SrbExecScsiCmd{};
    senseCode_ = 0;
    return kAspiNotSent;
  }
  CompletionEvent event;

  srb_ = SrbExecScsiCmd{};
  srb_.SRB_Cmd = aspi::kScExecScsiCmd;
  srb_.SRB_HaId = hostAdapter;
  srb_.SRB_Target = target;
  srb_.SRB_Lun = 0;
  srb_.SRB_BufLen = length;
  srb_.SRB_BufPointer = buffer;
  srb_.SRB_SenseLen = 14;
  srb_.SRB_PostProc = &event;
  const uint8_t opcode = cdb[0];
  srb_.SRB_CDBLen = cdbLength(opcode);
  srb_.SRB_Flags = directionTable()[opcode] | aspi::kEventNotify;
  std::memcpy(srb_.CDBByte, cdb, srb_.SRB_CDBLen);

  event.reset();
  if (manager_->send(srb_) == aspi::kPending) {
    const auto bound = waitBound_ ? waitBound_(opcode) : commandTimeout(opcode) + std::chrono::seconds(5);
    if (!event.waitFor(bound) && !manager_->abandon(srb_)) {
      // The host never finished the request: fail it as a host timeout.
      srb_.SRB_Status = aspi::kInvalidCommand;
      srb_.SRB_HaStat = aspi::kHaTimeout;
      srb_.SRB_TargStat = 0;
      std::memset(srb_.SenseArea, 0, sizeof srb_.SenseArea);
    }
  }

  senseCode_ = composeSenseCode(srb_.SenseArea);
  srb_.SRB_PostProc = nullptr;  // the event dies with this call
  if (guard_) guard_->ended(opcode, classifyRequest(srb_));
  return srb_.SRB_Status;
}

DriveFailure AspiTransport::lastFailure() const {
  if (!refusal_.empty() || srb_.SRB_Cmd != aspi::kScExecScsiCmd) return {FailureKind::NotSent};
  return classifyRequest(srb_);
}

}  // namespace tmx
