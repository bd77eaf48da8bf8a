// One emulated MMC drive (CD, DVD or BD): the command handler behind a target of the
// emulated adapter. A 256-entry opcode table carries each command's handler
// and policy (needs a disc, allowed under a unit attention); one dispatcher
// applies the common rules: faults, refused and unknown opcodes (05/20/00), a
// pending unit attention (06/28/00), no disc (02/3A/00). Every command takes
// model time; the drive sleeps on the clock until its completion deadline.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <span>

#include "emulator/audio_cache.h"
#include "emulator/disc.h"
#include "emulator/drive_profile.h"
#include "emulator/faults.h"
#include "emulator/mechanics.h"
#include "emulator/mode_pages.h"
#include "emulator/read_ahead.h"
#include "emulator/sense.h"
#include "platform/clock.h"
#include "platform/host_adapter.h"

namespace tmx::emu {

class DriveModel {
 public:
  DriveModel(DriveProfile profile, std::optional<DiscSpec> disc, uint64_t seed = 1);
  DriveModel(const DriveModel&) = delete;
  DriveModel& operator=(const DriveModel&) = delete;

  // Runs one command: computes the reply and its duration, then sleeps on the
  // clock until the command's deadline.
  ScsiResult execute(const ScsiCommand& command, Clock& clock);

  const DriveProfile& profile() const { return profile_; }
  const Mechanics& mechanics() const { return mechanics_; }
  const Disc* disc() const { return disc_.get(); }
  FaultPlan& faults() { return faults_; }

  // Disc changes from outside (tests, faults): a new disc raises a unit attention.
  void insertDisc(const DiscSpec& spec);
  void removeDisc();

  // State the ground truth and tests look at.
  double speedLimitX() const { return speedLimitX_; }
  double reportedSpeedX() const { return reportedSpeedX_; }
  BlockMode blockMode() const { return blockMode_; }
  bool spinning() const { return spinning_; }
  int32_t headLba() const { return readAhead_.headLba(); }
  int64_t audioOffsetFrames() const { return audioOffsetFrames_; }
  // The profile GET CONFIGURATION reports: the disc's, 0 without one.
  uint16_t currentProfile() const;

 private:
  struct Request {
    uint8_t opcode;
    std::span<const uint8_t> cdb;
    std::span<uint8_t> data;
    int64_t startNs;
  };
  struct Outcome {
    uint8_t status = 1;
    uint8_t hostStatus = 0;
    Sense sense;
    size_t transferred = 0;
    int64_t durationNs = 0;
  };
  using Handler = Outcome (DriveModel::*)(const Request&);
  struct CommandEntry {
    Handler handler = nullptr;
    uint8_t flags = 0;
  };
  static constexpr uint8_t kNeedsDisc = 1;
  static constexpr uint8_t kAllowUnitAttention = 2;
  static const std::array<CommandEntry, 256>& commandTable();

  Outcome dispatch(const Request& r);
  Outcome good(size_t transferred = 0, int64_t extraNs = 0) const;
  Outcome check(const Sense& s, int64_t extraNs = 0) const;
  Outcome reply(const Request& r, std::span<const uint8_t> bytes, size_t allocation) const;
  void spinDownIfIdle(int64_t nowNs);
  int64_t spinUpIfStopped(int64_t nowNs, int32_t lba);

  // Handlers, named after the commands (drive_commands.cpp, read_commands.cpp).
  Outcome testUnitReady(const Request& r);
  Outcome requestSense(const Request& r);
  Outcome inquiry(const Request& r);
  Outcome readCapacity(const Request& r);
  Outcome readToc(const Request& r);
  Outcome readDiscInformation(const Request& r);
  Outcome seek6(const Request& r);
  Outcome seek10(const Request& r);
  Outcome seekTo(uint32_t lba, const Request& r);
  Outcome startStopUnit(const Request& r);
  Outcome preventAllowRemoval(const Request& r);
  Outcome setCdSpeed(const Request& r);
  Outcome modeSense6(const Request& r);
  Outcome modeSense10(const Request& r);
  Outcome modeSense(const Request& r, const ModeSenseRequest& m, size_t allocation);
  Outcome modeSelect6(const Request& r);
  Outcome modeSelect10(const Request& r);
  Outcome modeSelect(const Request& r, bool ten, size_t listLength);
  Outcome read10(const Request& r);
  Outcome read12(const Request& r);
  Outcome readCd(const Request& r);
  Outcome readCdda(const Request& r);
  Outcome readCdMsf(const Request& r);
  Outcome getConfiguration(const Request& r);
  Outcome readDiscStructure(const Request& r);
  Outcome getPerformance(const Request& r);
  Outcome setStreaming(const Request& r);
  // Commands the drive does not know: those the profile rejects, and those
  // of media it does not read (GET CONFIGURATION without profiles, READ DISC
  // STRUCTURE without DVD or BD, the streaming commands without streaming).
  bool refuses(uint8_t opcode) const;
  // CD-only commands (READ CD, CD-DA reads, raw blocks) fail on such a disc.
  bool holdsDvdOrBd() const { return disc_ != nullptr && disc_->family() != DiscFamily::Cd; }

  // What the host asked for of each sector.
  struct SectorLayout {
    uint8_t expectedType = 0;  // 0 any, 1 CD-DA, 2 mode 1, 3..5 mode 2 kinds
    bool sync = false, header = false, user = true, edcEcc = false;
    size_t c2Bytes = 0;  // 0, 294 or 296 (with the block error byte pair)
    size_t subBytes = 0;  // 0, 16 (formatted Q) or 96 (raw P-W), after the C2 bytes
    bool rawSub = false;
  };
  // READ CD's and READ CD MSF's sector type, fields, C2 and sub-channel
  // choice; a sense when the drive does not offer what was asked.
  std::optional<Sense> cdReadLayout(const Request& r, uint8_t subchannels, SectorLayout& layout) const;
  // The track a sector outside the disc (lead-in, lead-out) goes with.
  const Track& trackNear(int32_t lba) const;
  Outcome serveFromCache(const Request& r, int32_t lba, int32_t count, size_t total, const SectorLayout& layout,
                         AudioCache::Origin origin);
  size_t sectorBytes(const SectorLayout& layout, bool audio) const;
  SectorLayout blockModeLayout() const;
  // `overread`: the profile's lead-in and lead-out sectors are readable too.
  Outcome readSectors(const Request& r, int64_t lba, uint32_t count, const SectorLayout& layout,
                      bool overread = false);
  void fillSectors(int32_t lba, int32_t count, const SectorLayout& layout, uint8_t* out);
  void applyDamage(int32_t lba, const SectorLayout& layout, bool audio, uint8_t* sector);

  DriveProfile profile_;
  Mechanics mechanics_;
  ReadAhead readAhead_;
  AudioCache cache_;
  std::unique_ptr<Disc> disc_;
  std::unique_ptr<Disc> ejected_;  // a disc whose tray was opened by START STOP UNIT
  std::mt19937_64 rng_;
  FaultPlan faults_;

  Sense pendingSense_;
  bool unitAttention_ = false;
  BlockMode blockMode_;
  double speedLimitX_;     // what the spindle obeys
  double reportedSpeedX_;  // what page 2Ah reports as selected
  bool spinning_ = true;
  int64_t lastActivityNs_ = 0;  // end of the last disc access (polling does not count)
  int64_t audioOffsetFrames_ = 0;
  uint64_t readSerial_ = 0;
};

}  // namespace tmx::emu
