// The only way the program reaches a drive: one CDB at a time through the SCSI
// manager's execute request block, keeping the sense code of the last request.
//
//   AspiTransport transport(loader);
//   if (transport.LoadAspiManager() == 0) { /* no drive can be reached */ }
//   int status = transport.ExecuteCdb(0, 1, cdb, buffer, 2048);
//   if (status != 1) printf("code %06X", transport.LastSenseCode());
//
// Not reentrant: one request in flight per transport, and LastSenseCode is
// meaningful only to the thread that sent the last request.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "drive/drive_address.h"
#include "drive/drive_failure.h"
#include "platform/request_block.h"

namespace tmx {

class ScsiManager;

// Looks at every request before it goes to the drive and after it ended: a
// guard that refuses a request keeps it from the drive (a drive that stopped
// answering is not asked again and again, a stopped report sends nothing).
class SendGuard {
 public:
  virtual ~SendGuard() = default;
  // Empty to send the request, else why it is not sent.
  virtual std::string refusal(uint8_t opcode) = 0;
  virtual void ended(uint8_t opcode, const DriveFailure& failure) = 0;
};

class AspiTransport {
 public:
  // Produces the manager, or null when no SCSI layer can be loaded at all.
  using ManagerLoader = std::function<std::unique_ptr<ScsiManager>()>;

  explicit AspiTransport(ManagerLoader loader);
  ~AspiTransport();
  AspiTransport(const AspiTransport&) = delete;
  AspiTransport& operator=(const AspiTransport&) = delete;

  // Returns the host adapter count; 0 means the manager is unusable (it stays
  // loaded until UnloadAspiManager when it loaded but reported a bad status).
  int LoadAspiManager();
  void UnloadAspiManager();
  bool loaded() const { return manager_ != nullptr; }
  int hostAdapterCount() const { return hostAdapterCount_; }
  // The loaded manager, for the host adapter inquiry; null when unloaded.
  ScsiManager* manager() const { return manager_.get(); }

  // Sends `cdb` (6, 10 or 12 bytes by its operation code) with `length` bytes of
  // data. Returns the request's status byte (1 = success), or -1 when nothing
  // could be sent (manager not loaded).
  AspiStatus ExecuteCdb(uint8_t hostAdapter, uint8_t target, const uint8_t* cdb, uint8_t* buffer,
                        uint32_t length);
  AspiStatus ExecuteCdb(DriveAddress drive, const uint8_t* cdb, uint8_t* buffer, uint32_t length) {
    return ExecuteCdb(drive.hostAdapter, drive.target, cdb, buffer, length);
  }

  // How long a pending request is waited for before it is failed with a
  // host timeout: by default the command's own timeout and a margin, so a
  // manager that never signals cannot hold the program.
  using WaitBound = std::function<std::chrono::milliseconds(uint8_t opcode)>;
  void setWaitBound(WaitBound bound) { waitBound_ = std::move(bound); }

  // Null removes it. A refused request returns kAspiNotSent with no sense.
  void setSendGuard(SendGuard* guard) { guard_ = guard; }
  // Why the guard kept the last request from the drive; empty when it was sent.
  const std::string& lastRefusal() const { return refusal_; }

  uint32_t LastSenseCode() const { return senseCode_; }
  // How the last request ended, NotSent for one the guard kept back or that
  // found no manager.
  DriveFailure lastFailure() const;
  // The block of the last request, as the manager left it.
  const SrbExecScsiCmd& lastRequest() const { return srb_; }

 private:
  ManagerLoader loader_;
  std::unique_ptr<ScsiManager> manager_;
  int hostAdapterCount_ = 0;
  SrbExecScsiCmd srb_;
  WaitBound waitBound_;
  SendGuard* guard_ = nullptr;
  std::string refusal_;
  uint32_t senseCode_ = 0;
};

}  // namespace tmx
