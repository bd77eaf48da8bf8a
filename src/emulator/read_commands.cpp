// Handlers of the sector reads: READ(10), READ(12), READ CD and the vendor
// CD-DA read, and the per-sector layouts they deliver.
#include <algorithm>
#include <cstring>

#include "emulator/byte_order.h"
#include "emulator/c2_fate.h"
#include "emulator/drive_model.h"
#include "emulator/hash_mix.h"
#include "emulator/subchannel.h"
#include "platform/aspi_codes.h"

namespace tmx::emu {
namespace {

constexpr uint8_t kTypeAny = 0;
constexpr uint8_t kTypeCdda = 1;
constexpr uint8_t kTypeMode1 = 2;
// A drive retries an unreadable sector before it gives up.
constexpr int64_t kMediumErrorRetryNs = 600'000'000;

// Raw sector parts in order: sync, header, user data, EDC/ECC.
constexpr size_t kPartStart[5] = {0, 12, 16, 2064, 2352};

}  // namespace

// READ(10) and READ(12) deliver what the block descriptor selected: user data
// of 2048-byte blocks, or whole raw sectors (with C2 bytes for 2646).
DriveModel::SectorLayout DriveModel::blockModeLayout() const {
  SectorLayout layout;
  if (blockMode_.blockLength == 2048) {
    layout.expectedType = kTypeMode1;
  } else {
    layout = {profile_.raw2352Read10 ? kTypeAny : kTypeMode1, true, true, true, true,
              blockMode_.blockLength == 2646 ? kC2Bytes : 0};
  }
  return layout;
}

DriveModel::Outcome DriveModel::read10(const Request& r) {
  if (r.cdb.size() < 10) return check(sense::kInvalidFieldInCdb);
  return readSectors(r, be32(r.cdb, 2), be16(r.cdb, 7), blockModeLayout());
}

DriveModel::Outcome DriveModel::read12(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  return readSectors(r, be32(r.cdb, 2), be32(r.cdb, 6), blockModeLayout());
}

std::optional<Sense> DriveModel::cdReadLayout(const Request& r, uint8_t subchannels, SectorLayout& layout) const {
  const uint8_t flags = r.cdb[9];
  const uint8_t headerCodes = (flags >> 5) & 0x03;
  const uint8_t c2 = (flags >> 1) & 0x03;
  const uint8_t sub = r.cdb[10] & 0x07;
  layout.expectedType = (r.cdb[1] >> 2) & 0x07;
  layout.sync = (flags & 0x80) != 0;
  layout.header = headerCodes == 1 || headerCodes == 3;
  layout.user = (flags & 0x10) != 0;
  layout.edcEcc = (flags & 0x08) != 0;
  layout.c2Bytes = c2 == 1 ? kC2Bytes : c2 == 2 ? kC2Bytes + 2 : 0;
  layout.subBytes = sub == 1 ? kRawSubBytes : sub == 2 ? kFormattedQBytes : 0;
  layout.rawSub = sub == 1;
  const bool badC2 = c2 == 3 || (c2 != 0 && !profile_.c2Pointers) || (c2 == 2 && !profile_.ripping.c2BlockErrorByte);
  const bool badType = layout.expectedType > 5 || (layout.expectedType == kTypeCdda && !profile_.readsCdda);
  const bool badSub = sub != 0 && !((sub == 1 && (subchannels & kSubRawPw)) || (sub == 2 && (subchannels & kSubFormattedQ)));
  if (badC2 || badType || badSub) return sense::kInvalidFieldInCdb;
  return std::nullopt;
}

DriveModel::Outcome DriveModel::readCd(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  if (holdsDvdOrBd()) return check(sense::kIllegalModeForTrack);
  SectorLayout layout;
  if (const auto bad = cdReadLayout(r, profile_.ripping.subReadCd, layout)) return check(*bad);
  // The LBA is signed: the lead-in lies before 0.
  return readSectors(r, static_cast<int32_t>(be32(r.cdb, 2)), be24(r.cdb, 6), layout, true);
}

DriveModel::Outcome DriveModel::readCdMsf(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  if (holdsDvdOrBd()) return check(sense::kIllegalModeForTrack);
  SectorLayout layout;
  if (const auto bad = cdReadLayout(r, profile_.ripping.subReadCdMsf, layout)) return check(*bad);
  const auto lbaOf = [&](size_t at) {
    return (r.cdb[at] * 60 + r.cdb[at + 1]) * kFramesPerSecond + r.cdb[at + 2] - kLeadInOffset;
  };
  const int32_t first = lbaOf(3);
  const int32_t end = lbaOf(6);
  if (end < first) return check(sense::kInvalidFieldInCdb);
  return readSectors(r, first, static_cast<uint32_t>(end - first), layout, true);
}

// Byte 10 chooses the sub-code: 0 none, 1 Q (2368 bytes a sector), 2 raw P-W (2448).
DriveModel::Outcome DriveModel::readCdda(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  if (holdsDvdOrBd()) return check(sense::kIllegalModeForTrack);
  const uint8_t sub = r.cdb[10];
  const uint8_t offered = profile_.ripping.subReadCdda;
  if (sub > 2 || (sub == 1 && !(offered & kSubFormattedQ)) || (sub == 2 && !(offered & kSubRawPw))) {
    return check(sense::kInvalidFieldInCdb);
  }
  SectorLayout layout{kTypeAny, true, true, true, true, 0};
  layout.subBytes = sub == 1 ? kFormattedQBytes : sub == 2 ? kRawSubBytes : 0;
  layout.rawSub = sub == 2;
  return readSectors(r, static_cast<int32_t>(be32(r.cdb, 2)), be32(r.cdb, 6), layout, true);
}

const Track& DriveModel::trackNear(int32_t lba) const {
  if (const Track* t = disc_->trackAt(lba)) return *t;
  return lba < 0 ? disc_->tracks().front() : disc_->tracks().back();
}

size_t DriveModel::sectorBytes(const SectorLayout& l, bool audio) const {
  const size_t extra = l.c2Bytes + l.subBytes;
  if (audio) return (l.sync || l.header || l.user || l.edcEcc ? kRawSectorBytes : 0) + extra;
  return (l.sync ? 12 : 0) + (l.header ? 4 : 0) + (l.user ? kUserDataBytes : 0) + (l.edcEcc ? 288 : 0) + extra;
}

DriveModel::Outcome DriveModel::readSectors(const Request& r, int64_t lba, uint32_t count,
                                            const SectorLayout& layout, bool overread) {
  const int32_t capacity = std::max(0, disc_->capacity());
  const RippingTraits& traits = profile_.ripping;
  const int64_t lowest = overread && capacity > 0 ? -int64_t{traits.leadInSectors} : 0;
  const int64_t highest = capacity + (overread && capacity > 0 ? int64_t{traits.leadOutSectors} : 0);
  if (lba < lowest || lba >= highest || count > highest - lba) return check(sense::kLbaOutOfRange);
  const auto first = static_cast<int32_t>(lba);
  const auto n = static_cast<int32_t>(count);
  if (n == 0) return good();

  // Sector types along the range decide the layout and whether it is allowed.
  size_t total = 0;
  bool raw = layout.sync || layout.header || layout.edcEcc;
  for (int32_t at = first; at < first + n;) {
    const Track& t = trackNear(at);
    const int32_t runEnd = at < 0 ? std::min(first + n, 0) : at >= capacity ? first + n : std::min(first + n, t.end());
    const bool audio = !t.data;
    raw = raw || audio;
    const bool fits = layout.expectedType == kTypeAny || (audio && layout.expectedType == kTypeCdda) ||
                      (!audio && layout.expectedType == kTypeMode1);
    if (!fits) return check(sense::kIllegalModeForTrack);
    total += static_cast<size_t>(runEnd - at) * sectorBytes(layout, audio);
    at = runEnd;
  }
  if (total > r.data.size()) {
    // The host's buffer is too small for what the drive sends: the host fails it.
    Outcome o = good();
    o.status = aspi::kInvalidCommand;
    o.hostStatus = aspi::kHaDataOverrun;
    return o;
  }

  // Timing and errors come from the part on the disc (all of it, in the usual case).
  const int32_t onFirst = std::clamp(first, 0, std::max(0, capacity - n));
  const int32_t onCount = std::min(n, capacity - onFirst);
  if (raw && !readAhead_.buffered(onFirst) && onFirst != readAhead_.headLba()) {
    if (const auto origin = cache_.holds(first, n)) return serveFromCache(r, first, n, total, layout, *origin);
  }
  int64_t bad = faults_.readErrorIn(onFirst, onCount);
  for (int32_t at = std::max(first, 0); at < std::min(first + n, capacity) && (bad < 0 || at < bad); ++at) {
    if (!disc_->spec().damage.empty() && disc_->damageAt(at).unreadable) bad = at;
  }
  const int64_t readyNs = spinUpIfStopped(r.startNs, onFirst);
  const int32_t readable = bad < 0 ? onCount : static_cast<int32_t>(bad - onFirst);
  const ReadAhead::Result timing =
      readAhead_.read(onFirst, std::max(readable, 1), static_cast<int64_t>(total), readyNs, speedLimitX_,
                      disc_->capacity(), rng_);
  lastActivityNs_ = timing.doneNs;
  if (timing.newStream && !profile_.accurateStream && profile_.audioJitterFrames > 0) {
    std::uniform_int_distribution<int64_t> jitter(-profile_.audioJitterFrames, profile_.audioJitterFrames);
    audioOffsetFrames_ = jitter(rng_);
  }
  if (bad >= 0) {
    readAhead_.flush();
    cache_.flush();
    return check(mediumErrorAt(static_cast<uint32_t>(bad)), timing.doneNs - r.startNs + kMediumErrorRetryNs);
  }
  fillSectors(first, n, layout, r.data.data());
  if (raw) cache_.note(first, n, AudioCache::Origin{readSerial_, audioOffsetFrames_});
  ++readSerial_;
  Outcome o = good(total);
  o.durationNs = timing.doneNs - r.startNs;
  return o;
}

// A re-read the cache answers: the bytes of the read that put it there, at
// the interface rate; the disc and the read-ahead are not touched.
DriveModel::Outcome DriveModel::serveFromCache(const Request& r, int32_t lba, int32_t count, size_t total,
                                               const SectorLayout& layout, AudioCache::Origin origin) {
  const uint64_t serial = readSerial_;
  const int64_t offset = audioOffsetFrames_;
  readSerial_ = origin.readSerial;
  audioOffsetFrames_ = origin.audioOffsetFrames;
  fillSectors(lba, count, layout, r.data.data());
  readSerial_ = serial;
  audioOffsetFrames_ = offset;
  Outcome o = good(total);
  o.durationNs = mechanics_.transferNs(static_cast<int64_t>(total));
  lastActivityNs_ = r.startNs + o.durationNs;
  return o;
}

void DriveModel::fillSectors(int32_t lba, int32_t count, const SectorLayout& layout, uint8_t* out) {
  const bool damaged = !disc_->spec().damage.empty();
  const int32_t capacity = disc_->capacity();
  for (int32_t at = lba; at < lba + count;) {
    const Track& t = trackNear(at);
    const bool inside = at >= 0 && at < capacity;
    const int32_t runEnd = at < 0 ? std::min(lba + count, 0) : !inside ? lba + count : std::min(lba + count, t.end());
    const auto run = static_cast<size_t>(runEnd - at);
    const bool audio = !t.data;
    const size_t stride = sectorBytes(layout, audio);
    const size_t main = stride - layout.c2Bytes - layout.subBytes;
    if (!inside) {
      std::memset(out, 0, run * stride);  // lead-in and lead-out: silence, or empty data
    } else if (audio) {
      if (main > 0) disc_->fillAudio(at, run, audioOffsetFrames_, out, stride);
    } else if (!layout.sync && !layout.header && !layout.edcEcc) {
      if (layout.user) disc_->fillUserData(at, run, out, stride);
    } else {
      std::array<uint8_t, kRawSectorBytes> raw;
      for (size_t i = 0; i < run; ++i) {
        disc_->fillRawData(at + static_cast<int32_t>(i), raw);
        uint8_t* dst = out + i * stride;
        const bool parts[4] = {layout.sync, layout.header, layout.user, layout.edcEcc};
        for (int p = 0; p < 4; ++p) {
          if (!parts[p]) continue;
          const size_t len = kPartStart[p + 1] - kPartStart[p];
          std::memcpy(dst, raw.data() + kPartStart[p], len);
          dst += len;
        }
      }
    }
    for (size_t i = 0; i < run; ++i) {
      uint8_t* sector = out + i * stride;
      if (inside && layout.c2Bytes > 0) std::memset(sector + main, 0, layout.c2Bytes);
      if (inside && damaged) applyDamage(at + static_cast<int32_t>(i), layout, audio, sector);
      if (layout.subBytes > 0) {
        fillSubchannel(*disc_, at + static_cast<int32_t>(i), layout.rawSub, sector + main + layout.c2Bytes);
      }
    }
    out += run * stride;
    at = runEnd;
  }
}

void DriveModel::applyDamage(int32_t lba, const SectorLayout& layout, bool audio, uint8_t* sector) {
  const SectorDamage d = disc_->damageAt(lba);
  if (d.badBytes == 0) return;
  // Error correction repairs data sectors read as user data only.
  const bool userOnly = !layout.sync && !layout.header && !layout.edcEcc;
  if (!audio && userOnly) return;
  const bool parts[4] = {layout.sync, layout.header, layout.user, layout.edcEcc};
  const size_t main = sectorBytes(layout, audio) - layout.c2Bytes - layout.subBytes;
  uint8_t* c2 = sector + main;
  const RippingTraits& traits = profile_.ripping;
  const C2Fate fate = c2Fate(traits, lba);
  for (size_t i = d.firstBadByte; i < size_t{d.firstBadByte} + d.badBytes; ++i) {
    // Where raw byte i landed in what the host asked for, if it asked for it.
    std::optional<size_t> at;
    if (audio) {
      if (main > 0) at = i;
    } else {
      size_t skipped = 0;
      for (int p = 0; p < 4; ++p) {
        if (i < kPartStart[p + 1]) {
          if (parts[p]) at = i - skipped;
          break;
        }
        if (!parts[p]) skipped += kPartStart[p + 1] - kPartStart[p];
      }
    }
    if (at && fate != C2Fate::FalseFlag) {
      sector[*at] ^= static_cast<uint8_t>(hashMix(readSerial_ * 0x10001ull + uint64_t(lba) * 2353 + i) | 1);
    }
    const size_t flagged = i + static_cast<size_t>(traits.c2ShiftBytes);
    if (layout.c2Bytes > 0 && fate != C2Fate::Missed && flagged < kRawSectorBytes) {
      c2[flagged >> 3] |= static_cast<uint8_t>(0x80 >> (flagged & 7));
    }
  }
  if (layout.c2Bytes == kC2Bytes + 2) {
    uint8_t any = 0;
    for (size_t k = 0; k < kC2Bytes; ++k) any |= c2[k];
    c2[kC2Bytes] = any;
  }
}

}  // namespace tmx::emu
