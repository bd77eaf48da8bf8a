// The ripping-features check: which read commands return audio with C2 and
// sub-channel, whether the drive caches audio and how much, accurate stream
// over several passes, whether its C2 pointers are true, how far it reads
// outside the disc (opt-in) and whether it obeys speed settings. Runs on the
// caller's thread and sends one command at a time, each with its timeout;
// every part has a time limit of drive time and stops at a stop request;
// the drive's speed is set back however it ends (the check never changes
// its block mode: it reads with READ CD, READ CD MSF and D8h only).
//
//   RippingCheck check(commands, drive, clock, {kind, sectors}, {}, hooks);
//   RippingFeatures f = check.run();   // f.verdict: "Caches about 1.6 MB ..."
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "drive/drive_commands.h"
#include "platform/clock.h"
#include "ripping/ripping_features.h"

namespace tmx {

// The disc as the probe found it: READ TOC's kind (0 data, 1 audio, 2 both)
// and READ CAPACITY's sectors.
struct RippingDisc {
  int kind = 1;
  int32_t sectors = 0;
  bool cd = true;  // false: a DVD or BD, which the check refuses with a line
};

struct RippingOptions {
  bool overread = false;       // some firmware hangs outside the disc: opt-in
  bool c2 = true;              // the C2 part (its scan reads the whole disc)
  double partSeconds = 40;     // drive time each part may take
  double c2ScanSeconds = 130;  // the C2 part's scan for damage
  int c2Rereads = 3;
};

struct RippingHooks {
  std::function<void(const std::string&)> status;
  std::function<void(int percent)> progress;
  // After each part, with everything found so far.
  std::function<void(const RippingFeatures&)> partDone;
  const std::atomic<bool>* stop = nullptr;
};

class RippingCheck {
 public:
  RippingCheck(DriveCommands& commands, DriveAddress drive, Clock& clock, RippingDisc disc, RippingOptions options,
               RippingHooks hooks);
  RippingFeatures run();

 private:
  enum class Sent { Ok, Failed, Ended };  // Ended: hung, stopped or out of time; the part's cutOff says which
  struct Timed {
    Sent sent = Sent::Failed;
    double seconds = 0;
  };
  // One command of the current part, timed; fills `part_->cutOff` when the
  // drive hung, a stop came or the part's time ran out.
  Timed send(const CdbRequest& request, uint8_t* buffer);
  Timed readAudio(int32_t lba, uint32_t count, uint8_t* buffer, C2Choice c2 = C2Choice::None);
  void beginPart(PartStatus& part, const char* name);
  void endPart(int progressAfter);
  void status(const std::string& line);
  double now();

  void readCommandPart();
  void probeCommand(ReadCommandAnswer& answer, int32_t lba);
  CdbRequest ripRead(uint8_t opcode, int32_t lba, uint32_t count, C2Choice c2, SubChoice sub) const;
  void cachePart();
  struct Probe {
    bool held = false;
    double rereadMs = 0, discMs = 0;
  };
  bool probeHeld(int32_t after, int32_t farAway, Probe& probe);
  bool probeHeldSure(int32_t after, int32_t farAway, Probe& probe);
  bool measureRate(int32_t at);
  void cacheSize();
  void cacheFlush();
  void defeatCache(int32_t awayFrom);
  void streamPart();
  void c2Part();
  void c2Scan(std::vector<int32_t>& flagged);
  void c2Rereads(const std::vector<LbaRange>& windows);
  void overreadPart();
  int overreadCount(bool before);
  void speedPart();
  std::optional<double> timedSpeed(int requestedX);
  void restoreSpeed();

  DriveCommands& commands_;
  DriveAddress drive_;
  Clock& clock_;
  RippingDisc disc_;
  RippingOptions options_;
  RippingHooks hooks_;
  RippingFeatures f_;
  PartStatus* part_ = nullptr;
  double partEnds_ = 0;
  uint8_t audioOpcode_ = 0;  // the command the later parts read with; 0: none returns audio
  uint8_t c2Opcode_ = 0;
  double sectorsPerSecond_ = 0;  // the disc's rate at the cache part's position
  int32_t nextProbeLba_ = 0;
  int startKBps_ = 0;  // page 2Ah's current and maximum speed when the check began
  int maximumKBps_ = 0;
};

}  // namespace tmx
