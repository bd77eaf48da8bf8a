// A host adapter whose devices are lambdas: tests script replies byte by byte
// and read back every command that was sent.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "platform/aspi_codes.h"
#include "platform/host_adapter.h"

namespace tmx::testing {

struct SentCommand {
  uint8_t target = 0;
  std::vector<uint8_t> cdb;
  DataDirection direction = DataDirection::None;
  size_t length = 0;
  std::vector<uint8_t> dataOut;
};

inline ScsiResult good() { return ScsiResult{aspi::kComplete, 0, 0, {}, 0, -1}; }

inline ScsiResult checkCondition(uint8_t key, uint8_t asc, uint8_t ascq) {
  ScsiResult r{aspi::kError, 0, aspi::kTargetCheckCondition, {}, 18, -1};
  r.sense[0] = 0x70;
  r.sense[2] = key;
  r.sense[7] = 10;
  r.sense[12] = asc;
  r.sense[13] = ascq;
  return r;
}

class ScriptedAdapter final : public HostAdapter {
 public:
  using Device = std::function<ScsiResult(const ScsiCommand&, std::span<uint8_t> data)>;

  explicit ScriptedAdapter(std::vector<SentCommand>* log = nullptr) : log_(log) {}

  ScriptedAdapter& at(uint8_t target, Device device) {
    devices_[target] = std::move(device);
    return *this;
  }

  std::string identifier() const override { return "SCRIPTED"; }
  std::string description() const override { return "scripted test adapter"; }
  std::string driverName() const override { return "scripted"; }

  ScsiResult execute(const ScsiCommand& command) override {
    if (log_) {
      SentCommand sent{command.target, {command.cdb.begin(), command.cdb.end()}, command.direction,
                       command.data.size(), {}};
      if (command.direction == DataDirection::Out) sent.dataOut.assign(command.data.begin(), command.data.end());
      // An abandoned request may still be running on its own thread when the
      // next one arrives.
      std::lock_guard hold(logMutex_);
      log_->push_back(sent);
    }
    auto it = devices_.find(command.target);
    if (it == devices_.end()) return ScsiResult{aspi::kNoDevice, aspi::kHaSelectionTimeout, 0, {}, 0, -1};
    return it->second(command, command.data);
  }

 private:
  std::vector<SentCommand>* log_;
  std::mutex logMutex_;
  std::map<uint8_t, Device> devices_;
};

// Copies `reply` into the command's buffer as far as it reaches.
inline void fill(std::span<uint8_t> data, const std::vector<uint8_t>& reply) {
  std::copy_n(reply.begin(), std::min(reply.size(), data.size()), data.begin());
}

// An INQUIRY reply with the given peripheral byte and blank-padded texts.
std::vector<uint8_t> inquiryReply(uint8_t peripheral, const std::string& vendor, const std::string& product,
                                  const std::string& revision);

}  // namespace tmx::testing
