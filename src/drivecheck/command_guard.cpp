#include "drivecheck/command_guard.h"

#include "platform/aspi_codes.h"

namespace tmx {

CommandGuard::CommandGuard(AspiTransport& transport, const std::atomic<bool>* cancel)
    : transport_(transport), cancel_(cancel) {
  transport_.setSendGuard(this);
}

CommandGuard::~CommandGuard() { transport_.setSendGuard(nullptr); }

std::string CommandGuard::refusal(uint8_t opcode) {
  if (cancel_ && cancel_->load()) return "the check was stopped";
  if (gone_) return "the drive is no longer present";
  if (timeouts_ >= kTimeoutsBeforeGivingUp) return "the drive stopped answering";
  if (timedOut_[opcode]) return "the drive did not answer this command before";
  return {};
}

void CommandGuard::ended(const SrbExecScsiCmd& request) {
  if (request.SRB_Status == aspi::kNoDevice || request.SRB_Status == aspi::kInvalidHostAdapter) gone_ = true;
  const uint8_t opcode = request.CDBByte[0];
  if (request.SRB_HaStat == aspi::kHaTimeout && !timedOut_[opcode]) {
    timedOut_[opcode] = true;
    ++timeouts_;
  }
}

}  // namespace tmx
