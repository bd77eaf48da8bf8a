#include "drivecheck/command_guard.h"


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

void CommandGuard::ended(uint8_t opcode, const DriveFailure& failure) {
  if (failure.kind == FailureKind::NoDevice) gone_ = true;
  if (failure.timedOut() && !timedOut_[opcode]) {
    timedOut_[opcode] = true;
    ++timeouts_;
  }
}

}  // namespace tmx
