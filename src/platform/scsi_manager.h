// Stand-in for the SCSI manager library: a support-info call and a send call
// that take the manager's request blocks. Host adapters are numbered in the
// order they were added (real hosts first, then the emulated adapter).
//
//   ScsiManager manager;
//   manager.addAdapter(std::make_unique<EmulatedAdapter>(...));
//   uint32_t info = manager.getSupportInfo();  // (status << 8) | count
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/host_adapter.h"
#include "platform/request_block.h"

namespace tmx {

class ScsiManager {
 public:
  enum class Completion {
    Immediate,     // send returns the final status
    Asynchronous,  // send returns pending; the request's event is signalled later
  };

  explicit ScsiManager(Completion completion = Completion::Immediate);
  ~ScsiManager();
  ScsiManager(const ScsiManager&) = delete;
  ScsiManager& operator=(const ScsiManager&) = delete;

  // Returns the new adapter's number. At most 8 adapters can be addressed by
  // the scan; more are accepted but not reachable from it.
  int addAdapter(std::unique_ptr<HostAdapter> adapter);
  int adapterCount() const { return static_cast<int>(adapters_.size()); }
  HostAdapter* adapter(int number) const;

  // Low 16 bits: status in bits 8-15 (1 = ok, kNoAdapters when none), count in 0-7.
  uint32_t getSupportInfo() const;

  // Executes an SC_EXEC_SCSI_CMD block. Returns its SRB_Status, or 0 when the
  // request is pending and SRB_PostProc will be signalled on completion.
  uint8_t send(SrbExecScsiCmd& srb);
  // Answers an SC_HA_INQUIRY block; returns its SRB_Status.
  uint8_t send(SrbHaInquiry& srb) const;

  // Waits until no asynchronous request is in flight.
  void drain();
  // Gives up on the pending request of `srb`: from now on its thread writes
  // neither the block, nor the caller's buffer, nor the event. Returns true
  // when the request had already ended, so the block holds its outcome;
  // false also when no such request is in flight.
  bool abandon(SrbExecScsiCmd& srb);

 private:
  void complete(SrbExecScsiCmd& srb);
  void reapFinished();

  Completion completion_;
  std::vector<std::unique_ptr<HostAdapter>> adapters_;
  std::vector<std::unique_ptr<class AsyncRequest>> inFlight_;
};

}  // namespace tmx
