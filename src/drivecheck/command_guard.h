// Keeps the drive check within a few minutes on a drive that stops
// answering, and stops it after the command in flight: while installed on
// the transport it refuses every command once the report is cancelled, a
// command that already timed out once, and every command after three
// commands timed out or after the drive went away. The transport keeps the
// reason of each refusal for the report's error line.
//
//   CommandGuard guard(commands.transport(), cancel);   // removed when it goes
#pragma once

#include <atomic>
#include <bitset>
#include <string>

#include "drive/aspi_transport.h"

namespace tmx {

class CommandGuard final : public SendGuard {
 public:
  static constexpr int kTimeoutsBeforeGivingUp = 3;

  CommandGuard(AspiTransport& transport, const std::atomic<bool>* cancel);
  ~CommandGuard() override;
  CommandGuard(const CommandGuard&) = delete;
  CommandGuard& operator=(const CommandGuard&) = delete;

  std::string refusal(uint8_t opcode) override;
  void ended(uint8_t opcode, const DriveFailure& failure) override;

 private:
  AspiTransport& transport_;
  const std::atomic<bool>* cancel_;
  std::bitset<256> timedOut_;
  int timeouts_ = 0;
  bool gone_ = false;
};

}  // namespace tmx
