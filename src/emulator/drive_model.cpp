#include "emulator/drive_model.h"

#include <algorithm>
#include <cstring>

#include "emulator/media_profiles.h"
#include "platform/aspi_codes.h"

namespace tmx::emu {

DriveModel::DriveModel(DriveProfile profile, std::optional<DiscSpec> disc, uint64_t seed)
    : profile_(std::move(profile)),
      mechanics_(profile_),
      readAhead_(profile_, mechanics_),
      cache_(profile_.ripping),
      rng_(seed),
      speedLimitX_(profile_.maxSpeedX),
      reportedSpeedX_(profile_.maxSpeedX) {
  if (disc) disc_ = std::make_unique<Disc>(*disc);
  mechanics_.setGeometry(disc_ ? disc_->geometry() : cdGeometry());
}

const std::array<DriveModel::CommandEntry, 256>& DriveModel::commandTable() {
  static const std::array<CommandEntry, 256> table = [] {
    std::array<CommandEntry, 256> t{};
    t[0x00] = {&DriveModel::testUnitReady, kNeedsDisc};
    t[0x03] = {&DriveModel::requestSense, kAllowUnitAttention};
    t[0x0B] = {&DriveModel::seek6, kNeedsDisc};
    t[0x12] = {&DriveModel::inquiry, kAllowUnitAttention};
    t[0x15] = {&DriveModel::modeSelect6, 0};
    t[0x1A] = {&DriveModel::modeSense6, 0};
    t[0x1B] = {&DriveModel::startStopUnit, 0};
    t[0x1E] = {&DriveModel::preventAllowRemoval, 0};
    t[0x25] = {&DriveModel::readCapacity, kNeedsDisc};
    t[0x28] = {&DriveModel::read10, kNeedsDisc};
    t[0x2B] = {&DriveModel::seek10, kNeedsDisc};
    t[0x43] = {&DriveModel::readToc, kNeedsDisc};
    t[0x46] = {&DriveModel::getConfiguration, kAllowUnitAttention};
    t[0x51] = {&DriveModel::readDiscInformation, kNeedsDisc};
    t[0x55] = {&DriveModel::modeSelect10, 0};
    t[0x5A] = {&DriveModel::modeSense10, 0};
    t[0xA8] = {&DriveModel::read12, kNeedsDisc};
    t[0xAC] = {&DriveModel::getPerformance, kNeedsDisc};
    t[0xAD] = {&DriveModel::readDiscStructure, kNeedsDisc};
    t[0xB6] = {&DriveModel::setStreaming, 0};
    t[0xB9] = {&DriveModel::readCdMsf, kNeedsDisc};
    t[0xBB] = {&DriveModel::setCdSpeed, 0};
    t[0xBE] = {&DriveModel::readCd, kNeedsDisc};
    t[0xD8] = {&DriveModel::readCdda, kNeedsDisc};
    return t;
  }();
  return table;
}

ScsiResult DriveModel::execute(const ScsiCommand& command, Clock& clock) {
  ScsiResult result;
  const int64_t startNs = clock.nowNs();
  if (command.cdb.empty()) {
    result.status = aspi::kInvalidSrb;
    return result;
  }
  const Request request{command.cdb[0], command.cdb, command.data, startNs};

  const FaultPlan::Effects effects = faults_.onCommand(request.opcode, startNs);
  if (effects.removeDisc) removeDisc();
  if (effects.unitAttention) unitAttention_ = true;
  if (effects.hang) {
    // Nothing answers; the host gives up after its timeout.
    clock.sleepUntilNs(startNs + std::chrono::nanoseconds(command.timeout).count());
    result.status = aspi::kInvalidCommand;
    result.hostStatus = aspi::kHaTimeout;
    return result;
  }

  const Outcome out = dispatch(request);
  clock.sleepUntilNs(startNs + out.durationNs);

  result.status = out.status;
  result.hostStatus = out.hostStatus;
  result.transferred = static_cast<int64_t>(out.transferred);
  if (!out.sense.none()) {
    result.status = aspi::kError;
    result.targetStatus = aspi::kTargetCheckCondition;
    result.sense = fixedSenseBytes(out.sense);
    result.senseLength = static_cast<uint32_t>(result.sense.size());
  }
  return result;
}

DriveModel::Outcome DriveModel::dispatch(const Request& r) {
  spinDownIfIdle(r.startNs);
  const CommandEntry& entry = commandTable()[r.opcode];
  Outcome out;
  if (entry.handler == nullptr || refuses(r.opcode)) {
    out = check(sense::kInvalidOpcode, profile_.rejectionNs);
  } else if (unitAttention_ && !(entry.flags & kAllowUnitAttention)) {
    unitAttention_ = false;
    out = check(sense::kMediumMayHaveChanged);
  } else if ((entry.flags & kNeedsDisc) && disc_ == nullptr) {
    out = check(ejected_ ? sense::kTrayOpen : sense::kNoDisc);
  } else {
    out = (this->*entry.handler)(r);
  }
  // REQUEST SENSE reports and clears; every other command leaves its own.
  if (r.opcode != 0x03) pendingSense_ = out.sense;
  return out;
}

bool DriveModel::refuses(uint8_t opcode) const {
  if (profile_.rejectedOpcodes.test(opcode)) return true;
  switch (opcode) {
    case 0x46: return profile_.mmcProfiles.empty();
    case 0xAD: return !listsDvd(profile_) && !listsBd(profile_);
    case 0xAC:
    case 0xB6: return !profile_.streaming;
    case 0xB9: return !profile_.ripping.readCdMsf;
    default: return false;
  }
}

DriveModel::Outcome DriveModel::good(size_t transferred, int64_t extraNs) const {
  Outcome o;
  o.transferred = transferred;
  o.durationNs = profile_.commandOverheadNs + extraNs;
  return o;
}

DriveModel::Outcome DriveModel::check(const Sense& s, int64_t extraNs) const {
  Outcome o;
  o.sense = s;
  o.durationNs = profile_.commandOverheadNs + extraNs;
  return o;
}

DriveModel::Outcome DriveModel::reply(const Request& r, std::span<const uint8_t> bytes, size_t allocation) const {
  const size_t n = std::min({allocation, bytes.size(), r.data.size()});
  if (n > 0) std::memcpy(r.data.data(), bytes.data(), n);
  return good(n, mechanics_.transferNs(static_cast<int64_t>(n)) - profile_.commandOverheadNs);
}

void DriveModel::spinDownIfIdle(int64_t nowNs) {
  if (spinning_ && profile_.idleSpinDownMs > 0 && nowNs - lastActivityNs_ > profile_.idleSpinDownMs * 1'000'000) {
    spinning_ = false;
    readAhead_.flush();
    cache_.flush();
  }
}

int64_t DriveModel::spinUpIfStopped(int64_t nowNs, int32_t lba) {
  if (spinning_) return nowNs;
  spinning_ = true;
  readAhead_.flush();
  cache_.flush();
  return nowNs + mechanics_.spinUpNs(lba, speedLimitX_);
}

void DriveModel::insertDisc(const DiscSpec& spec) {
  disc_ = std::make_unique<Disc>(spec);
  mechanics_.setGeometry(disc_->geometry());
  ejected_.reset();
  readAhead_.flush();
  cache_.flush();
  unitAttention_ = true;
}

void DriveModel::removeDisc() {
  disc_.reset();
  readAhead_.flush();
  cache_.flush();
}

}  // namespace tmx::emu
