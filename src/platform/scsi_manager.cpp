#include "platform/scsi_manager.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/aspi_codes.h"
#include "platform/completion_event.h"

namespace tmx {

std::chrono::milliseconds commandTimeout(uint8_t opcode) {
  switch (opcode) {
    case 0x1B:  // START STOP UNIT: spin-up, tray
      return std::chrono::milliseconds(60'000);
    case 0x00:  // TEST UNIT READY answers at once; the window polls it every second
      return std::chrono::milliseconds(2'000);
    default:
      return std::chrono::milliseconds(30'000);
  }
}

// One request run on its own thread. The device works on a copy of the block
// and of the data, published under the lock unless the request was abandoned,
// so a caller that stopped waiting can free its buffer and event.
class AsyncRequest {
 public:
  std::thread thread;
  std::mutex mutex;
  SrbExecScsiCmd* srb = nullptr;
  bool abandoned = false;
  bool published = false;
  std::atomic<bool> finished{false};
};

ScsiManager::ScsiManager(Completion completion) : completion_(completion) {}

ScsiManager::~ScsiManager() { drain(); }

void ScsiManager::drain() {
  for (auto& request : inFlight_) {
    if (request->thread.joinable()) request->thread.join();
  }
  inFlight_.clear();
}

void ScsiManager::reapFinished() {
  std::erase_if(inFlight_, [](const std::unique_ptr<AsyncRequest>& request) {
    if (!request->finished) return false;
    request->thread.join();
    return true;
  });
}

bool ScsiManager::abandon(SrbExecScsiCmd& srb) {
  for (auto& request : inFlight_) {
    std::lock_guard lock(request->mutex);
    if (request->srb != &srb || request->abandoned) continue;
    request->abandoned = true;
    return request->published;
  }
  return false;  // no such request: nothing will ever signal it
}

int ScsiManager::addAdapter(std::unique_ptr<HostAdapter> adapter) {
  adapters_.push_back(std::move(adapter));
  return static_cast<int>(adapters_.size()) - 1;
}

HostAdapter* ScsiManager::adapter(int number) const {
  if (number < 0 || number >= adapterCount()) return nullptr;
  return adapters_[static_cast<size_t>(number)].get();
}

uint32_t ScsiManager::getSupportInfo() const {
  if (adapters_.empty()) return uint32_t{aspi::kNoAdapters} << 8;
  const uint32_t count = static_cast<uint32_t>(std::min<size_t>(adapters_.size(), 255));
  return (uint32_t{aspi::kComplete} << 8) | count;
}

void ScsiManager::complete(SrbExecScsiCmd& srb) {
  HostAdapter* host = adapter(srb.SRB_HaId);
  if (host == nullptr) {
    srb.SRB_Status = aspi::kInvalidHostAdapter;
    return;
  }
  const uint8_t cdbLength = std::min<uint8_t>(srb.SRB_CDBLen, 16);
  ScsiCommand command;
  command.target = srb.SRB_Target;
  command.lun = srb.SRB_Lun;
  command.cdb = std::span<const uint8_t>(srb.CDBByte, cdbLength);
  const bool in = (srb.SRB_Flags & aspi::kDirIn) != 0;
  const bool out = (srb.SRB_Flags & aspi::kDirOut) != 0;
  if (srb.SRB_BufLen == 0 || srb.SRB_BufPointer == nullptr) {
    command.direction = DataDirection::None;
  } else {
    command.direction = out && !in ? DataDirection::Out : DataDirection::In;
    command.data = std::span<uint8_t>(srb.SRB_BufPointer, srb.SRB_BufLen);
  }
  command.timeout = commandTimeout(cdbLength > 0 ? srb.CDBByte[0] : 0);

  const ScsiResult result = host->execute(command);
  srb.SRB_HaStat = result.hostStatus;
  srb.SRB_TargStat = result.targetStatus;
  std::memset(srb.SenseArea, 0, sizeof srb.SenseArea);
  const size_t senseBytes = std::min<size_t>({srb.SRB_SenseLen, sizeof srb.SenseArea, result.sense.size(),
                                              result.senseLength});
  std::memcpy(srb.SenseArea, result.sense.data(), senseBytes);
  srb.SRB_Status = result.status;
}

uint8_t ScsiManager::send(SrbExecScsiCmd& srb) {
  if (srb.SRB_Cmd != aspi::kScExecScsiCmd) {
    srb.SRB_Status = aspi::kInvalidSrb;
    return srb.SRB_Status;
  }
  if (completion_ == Completion::Immediate || srb.SRB_PostProc == nullptr ||
      (srb.SRB_Flags & aspi::kEventNotify) == 0) {
    complete(srb);
    return srb.SRB_Status;
  }
  // Finished requests' threads are reaped before a new one starts; an
  // abandoned one still in its device is left to end on its own.
  reapFinished();
  srb.SRB_Status = aspi::kPending;
  auto request = std::make_unique<AsyncRequest>();
  request->srb = &srb;
  AsyncRequest* self = request.get();
  request->thread = std::thread([this, self] {
    SrbExecScsiCmd work;
    std::vector<uint8_t> data;
    {
      std::lock_guard lock(self->mutex);
      work = *self->srb;
      if (work.SRB_BufPointer != nullptr) data.assign(work.SRB_BufPointer, work.SRB_BufPointer + work.SRB_BufLen);
    }
    uint8_t* callerBuffer = work.SRB_BufPointer;
    if (callerBuffer != nullptr) work.SRB_BufPointer = data.data();
    complete(work);
    {
      std::lock_guard lock(self->mutex);
      if (!self->abandoned) {
        // Copy the outcome back except the status, then publish the status
        // last and signal, as the manager would.
        if (callerBuffer != nullptr) std::copy(data.begin(), data.end(), callerBuffer);
        const uint8_t status = work.SRB_Status;
        work.SRB_Status = aspi::kPending;
        work.SRB_BufPointer = callerBuffer;
        SrbExecScsiCmd& srb = *self->srb;
        srb = work;
        srb.SRB_Status = status;
        self->published = true;
        srb.SRB_PostProc->set();
      }
    }
    self->finished = true;
  });
  inFlight_.push_back(std::move(request));
  return aspi::kPending;
}

uint8_t ScsiManager::send(SrbHaInquiry& srb) const {
  if (srb.SRB_Cmd != aspi::kScHaInquiry) {
    srb.SRB_Status = aspi::kInvalidSrb;
    return srb.SRB_Status;
  }
  srb.HA_Count = static_cast<uint8_t>(std::min<size_t>(adapters_.size(), 255));
  std::memset(srb.HA_ManagerId, 0, sizeof srb.HA_ManagerId);
  std::memcpy(srb.HA_ManagerId, "Tachometrix SCSI", 16);
  HostAdapter* host = adapter(srb.SRB_HaId);
  if (host == nullptr) {
    srb.SRB_Status = aspi::kInvalidHostAdapter;
    return srb.SRB_Status;
  }
  std::memset(srb.HA_Identifier, 0, sizeof srb.HA_Identifier);
  const std::string id = host->identifier();
  std::memcpy(srb.HA_Identifier, id.data(), std::min<size_t>(id.size(), sizeof srb.HA_Identifier));
  srb.HA_SCSI_ID = 7;
  srb.SRB_Status = aspi::kComplete;
  return srb.SRB_Status;
}

}  // namespace tmx
