// Handlers of the commands that do not read sectors.
#include <algorithm>
#include <cmath>

#include "emulator/byte_order.h"
#include "emulator/drive_model.h"
#include "emulator/ident_replies.h"
#include "emulator/media_profiles.h"
#include "emulator/toc_replies.h"

namespace tmx::emu {
namespace {

constexpr uint8_t kPeripheralCdRom = 0x05;
constexpr int64_t kTrayNs = 1'200'000'000;

// Page 2Ah's 16-bit speed fields, in the medium's KB/s.
uint32_t kbps(double x, double perX) { return static_cast<uint32_t>(std::min(0xFFFFL, std::lround(x * perX))); }

}  // namespace

DriveModel::Outcome DriveModel::testUnitReady(const Request&) { return good(); }

DriveModel::Outcome DriveModel::requestSense(const Request& r) {
  Sense s = pendingSense_;
  if (s.none() && unitAttention_) {
    s = sense::kMediumMayHaveChanged;
    unitAttention_ = false;
  } else if (s.none() && disc_ == nullptr) {
    s = ejected_ ? sense::kTrayOpen : sense::kNoDisc;
  }
  pendingSense_ = sense::kNone;
  const auto bytes = fixedSenseBytes(s);
  return reply(r, bytes, r.cdb.size() > 4 ? r.cdb[4] : 0);
}

DriveModel::Outcome DriveModel::inquiry(const Request& r) {
  if (r.cdb.size() < 6 || (r.cdb[1] & 0x01)) return check(sense::kInvalidFieldInCdb);
  const auto bytes = inquiryReply(kPeripheralCdRom, true, profile_.vendor, profile_.product, profile_.revision);
  return reply(r, bytes, be16(r.cdb, 3));
}

DriveModel::Outcome DriveModel::readCapacity(const Request& r) {
  // A blank disc reports its last block at -151, as drives do.
  const uint32_t last = disc_->blank() ? 0xFFFFFF69u : static_cast<uint32_t>(disc_->capacity() - 1);
  const auto bytes = readCapacityReply(last);
  return reply(r, bytes, bytes.size());
}

DriveModel::Outcome DriveModel::readToc(const Request& r) {
  if (r.cdb.size() < 10) return check(sense::kInvalidFieldInCdb);
  const bool msf = (r.cdb[1] & 0x02) != 0;
  uint8_t format = r.cdb[2] & 0x0F;
  // Older hosts put the format in bits 7-6 of the control byte.
  if (format == 0) format = static_cast<uint8_t>(r.cdb[9] >> 6);
  Reply built = Sense{sense::kInvalidFieldInCdb};
  switch (format) {
    case 0: built = tocReply(*disc_, r.cdb[6], msf); break;
    case 1: built = sessionInfoReply(*disc_, msf); break;
    case 2:
      if (!holdsDvdOrBd()) built = fullTocReply(*disc_);  // a DVD or BD has no full TOC
      break;
    case 4: built = atipReply(*disc_); break;
    default: break;
  }
  if (const Sense* s = std::get_if<Sense>(&built)) return check(*s);
  return reply(r, std::get<std::vector<uint8_t>>(built), be16(r.cdb, 7));
}

DriveModel::Outcome DriveModel::readDiscInformation(const Request& r) {
  if (r.cdb.size() < 10 || (r.cdb[1] & 0x07) != 0) return check(sense::kInvalidFieldInCdb);
  return reply(r, discInformationReply(*disc_), be16(r.cdb, 7));
}

DriveModel::Outcome DriveModel::seek6(const Request& r) {
  return seekTo((uint32_t{r.cdb[1] & 0x1Fu} << 16) | be16(r.cdb, 2), r);
}

DriveModel::Outcome DriveModel::seek10(const Request& r) { return seekTo(be32(r.cdb, 2), r); }

DriveModel::Outcome DriveModel::seekTo(uint32_t lba, const Request& r) {
  if (lba >= static_cast<uint32_t>(std::max(0, disc_->capacity()))) return check(sense::kLbaOutOfRange);
  const auto target = static_cast<int32_t>(lba);
  const int64_t readyNs = spinUpIfStopped(r.startNs, target);
  const int64_t doneNs = readAhead_.seek(target, readyNs, speedLimitX_, rng_);
  cache_.seek(target);
  lastActivityNs_ = doneNs;
  if (!profile_.accurateStream && profile_.audioJitterFrames > 0) {
    std::uniform_int_distribution<int64_t> jitter(-profile_.audioJitterFrames, profile_.audioJitterFrames);
    audioOffsetFrames_ = jitter(rng_);
  }
  Outcome o = good();
  o.durationNs = doneNs - r.startNs;
  return o;
}

DriveModel::Outcome DriveModel::startStopUnit(const Request& r) {
  if (r.cdb.size() < 6) return check(sense::kInvalidFieldInCdb);
  const bool immediate = (r.cdb[1] & 0x01) != 0;
  const bool start = (r.cdb[4] & 0x01) != 0;
  const bool loadEject = (r.cdb[4] & 0x02) != 0;
  int64_t busyNs = 0;
  if (!start) {
    if (spinning_ && disc_ != nullptr) busyNs = mechanics_.spinDownNs(readAhead_.headLba(), speedLimitX_);
    spinning_ = false;
    readAhead_.flush();
    cache_.flush();
    if (loadEject && disc_ != nullptr) {
      ejected_ = std::move(disc_);
      busyNs += kTrayNs;
    }
  } else {
    if (loadEject && ejected_ != nullptr) {
      disc_ = std::move(ejected_);
      unitAttention_ = true;
      busyNs += kTrayNs;
    }
    if (disc_ != nullptr) busyNs = spinUpIfStopped(r.startNs + busyNs, readAhead_.headLba()) - r.startNs;
    lastActivityNs_ = r.startNs + busyNs;
  }
  return good(0, immediate ? 0 : busyNs);
}

DriveModel::Outcome DriveModel::preventAllowRemoval(const Request&) { return good(); }

DriveModel::Outcome DriveModel::setCdSpeed(const Request& r) {
  if (r.cdb.size() < 4) return check(sense::kInvalidFieldInCdb);
  const uint16_t request = be16(r.cdb, 2);
  reportedSpeedX_ = mechanics_.speedStepForRequest(request);
  const RippingTraits& t = profile_.ripping;
  speedLimitX_ = t.ignoresSpeed ? mechanics_.speedStepForRequest(0xFFFF) : reportedSpeedX_;
  if (t.speedCapX > 0 && request != 0xFFFF) speedLimitX_ = std::min(speedLimitX_, t.speedCapX);
  return good();
}

DriveModel::Outcome DriveModel::modeSense6(const Request& r) {
  if (r.cdb.size() < 6) return check(sense::kInvalidFieldInCdb);
  const ModeSenseRequest m{false, (r.cdb[1] & 0x08) != 0, static_cast<uint8_t>(r.cdb[2] >> 6),
                           static_cast<uint8_t>(r.cdb[2] & 0x3F)};
  return modeSense(r, m, r.cdb[4]);
}

DriveModel::Outcome DriveModel::modeSense10(const Request& r) {
  if (r.cdb.size() < 10) return check(sense::kInvalidFieldInCdb);
  const ModeSenseRequest m{true, (r.cdb[1] & 0x08) != 0, static_cast<uint8_t>(r.cdb[2] >> 6),
                           static_cast<uint8_t>(r.cdb[2] & 0x3F)};
  return modeSense(r, m, be16(r.cdb, 7));
}

DriveModel::Outcome DriveModel::modeSense(const Request& r, const ModeSenseRequest& m, size_t allocation) {
  ModeFacts f;
  f.block = blockMode_;
  if (disc_ == nullptr) {
    f.mediumType = ejected_ ? 0x71 : 0x70;
  } else {
    const auto& tracks = disc_->tracks();
    const bool anyData = std::any_of(tracks.begin(), tracks.end(), [](const Track& t) { return t.data; });
    const bool anyAudio = std::any_of(tracks.begin(), tracks.end(), [](const Track& t) { return !t.data; });
    f.mediumType = anyAudio ? (anyData ? 0x03 : 0x02) : 0x01;
  }
  const double perX = mechanics_.geometry().kbpsPerX;
  f.maxReadKBps = kbps(profile_.maxSpeedX, perX);
  f.currentReadKBps = kbps(reportedSpeedX_, perX);
  f.dvdReadFlags = listsDvd(profile_) ? 0x18 : 0x00;  // reads DVD-ROM and DVD-R
  f.bufferKiB = profile_.bufferBytes / 1024;
  f.c2Pointers = profile_.c2Pointers;
  f.accurateStream = profile_.accurateStream;
  f.cddaCommands = profile_.readsCdda;
  const ModeReply built = modeSenseReply(m, f);
  if (const Sense* s = std::get_if<Sense>(&built)) return check(*s);
  return reply(r, std::get<std::vector<uint8_t>>(built), allocation);
}

DriveModel::Outcome DriveModel::modeSelect6(const Request& r) {
  if (r.cdb.size() < 6) return check(sense::kInvalidFieldInCdb);
  return modeSelect(r, false, r.cdb[4]);
}

DriveModel::Outcome DriveModel::modeSelect10(const Request& r) {
  if (r.cdb.size() < 10) return check(sense::kInvalidFieldInCdb);
  return modeSelect(r, true, be16(r.cdb, 7));
}

DriveModel::Outcome DriveModel::modeSelect(const Request& r, bool ten, size_t listLength) {
  const std::span<const uint8_t> list(r.data.data(), std::min(listLength, r.data.size()));
  const auto parsed = parseModeSelectList(list, ten, blockMode_, profile_.c2Pointers);
  if (const Sense* s = std::get_if<Sense>(&parsed)) return check(*s);
  // A DVD or BD has no raw sectors to switch to.
  if (holdsDvdOrBd() && std::get<BlockMode>(parsed).blockLength != 2048) return check(sense::kInvalidFieldInParameters);
  blockMode_ = std::get<BlockMode>(parsed);
  return good(list.size());
}

}  // namespace tmx::emu
