// Handlers of the sector reads: READ(10), READ(12), READ CD and the vendor
// CD-DA read, and the per-sector layouts they deliver.
#include <algorithm>
#include <cstring>

#include "emulator/byte_order.h"
#include "emulator/drive_model.h"
#include "emulator/hash_mix.h"
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

DriveModel::Outcome DriveModel::readCd(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  if (holdsDvdOrBd()) return check(sense::kIllegalModeForTrack);
  const uint8_t flags = r.cdb[9];
  const uint8_t headerCodes = (flags >> 5) & 0x03;
  const uint8_t c2 = (flags >> 1) & 0x03;
  SectorLayout layout;
  layout.expectedType = (r.cdb[1] >> 2) & 0x07;
  layout.sync = (flags & 0x80) != 0;
  layout.header = headerCodes == 1 || headerCodes == 3;
  layout.user = (flags & 0x10) != 0;
  layout.edcEcc = (flags & 0x08) != 0;
  layout.c2Bytes = c2 == 1 ? kC2Bytes : c2 == 2 ? kC2Bytes + 2 : 0;
  const bool badC2 = c2 == 3 || (c2 != 0 && !profile_.c2Pointers);
  const bool badType = layout.expectedType > 5 || (layout.expectedType == kTypeCdda && !profile_.readsCdda);
  if (badC2 || badType || (r.cdb[10] & 0x07) != 0) return check(sense::kInvalidFieldInCdb);
  return readSectors(r, be32(r.cdb, 2), be24(r.cdb, 6), layout);
}

DriveModel::Outcome DriveModel::readCdda(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  if (holdsDvdOrBd()) return check(sense::kIllegalModeForTrack);
  if (r.cdb[10] != 0) return check(sense::kInvalidFieldInCdb);  // sub-code not offered
  return readSectors(r, be32(r.cdb, 2), be32(r.cdb, 6), SectorLayout{kTypeAny, true, true, true, true, 0});
}

size_t DriveModel::sectorBytes(const SectorLayout& l, bool audio) const {
  if (audio) return (l.sync || l.header || l.user || l.edcEcc ? kRawSectorBytes : 0) + l.c2Bytes;
  return (l.sync ? 12 : 0) + (l.header ? 4 : 0) + (l.user ? kUserDataBytes : 0) + (l.edcEcc ? 288 : 0) + l.c2Bytes;
}

DriveModel::Outcome DriveModel::readSectors(const Request& r, uint32_t lba, uint32_t count,
                                            const SectorLayout& layout) {
  const auto capacity = static_cast<uint32_t>(std::max(0, disc_->capacity()));
  if (lba >= capacity || count > capacity - lba) return check(sense::kLbaOutOfRange);
  const auto first = static_cast<int32_t>(lba);
  const auto n = static_cast<int32_t>(count);
  if (n == 0) return good();

  // Sector types along the range decide the layout and whether it is allowed.
  size_t total = 0;
  for (int32_t at = first; at < first + n;) {
    const Track* t = disc_->trackAt(at);
    const int32_t runEnd = std::min(first + n, t->end());
    const bool audio = !t->data;
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

  int64_t bad = faults_.readErrorIn(first, n);
  for (int32_t at = first; at < first + n && (bad < 0 || at < bad); ++at) {
    if (!disc_->spec().damage.empty() && disc_->damageAt(at).unreadable) bad = at;
  }
  const int64_t readyNs = spinUpIfStopped(r.startNs, first);
  const int32_t readable = bad < 0 ? n : static_cast<int32_t>(bad - first);
  const ReadAhead::Result timing =
      readAhead_.read(first, std::max(readable, 1), static_cast<int64_t>(total), readyNs, speedLimitX_,
                      disc_->capacity(), rng_);
  lastActivityNs_ = timing.doneNs;
  if (timing.newStream && !profile_.accurateStream && profile_.audioJitterFrames > 0) {
    std::uniform_int_distribution<int64_t> jitter(-profile_.audioJitterFrames, profile_.audioJitterFrames);
    audioOffsetFrames_ = jitter(rng_);
  }
  if (bad >= 0) {
    readAhead_.flush();
    return check(mediumErrorAt(static_cast<uint32_t>(bad)), timing.doneNs - r.startNs + kMediumErrorRetryNs);
  }
  fillSectors(first, n, layout, r.data.data());
  ++readSerial_;
  Outcome o = good(total);
  o.durationNs = timing.doneNs - r.startNs;
  return o;
}

void DriveModel::fillSectors(int32_t lba, int32_t count, const SectorLayout& layout, uint8_t* out) {
  const bool damaged = !disc_->spec().damage.empty();
  for (int32_t at = lba; at < lba + count;) {
    const Track* t = disc_->trackAt(at);
    const int32_t runEnd = std::min(lba + count, t->end());
    const auto run = static_cast<size_t>(runEnd - at);
    const bool audio = !t->data;
    const size_t stride = sectorBytes(layout, audio);
    const size_t main = stride - layout.c2Bytes;
    if (audio) {
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
      if (layout.c2Bytes > 0) std::memset(sector + main, 0, layout.c2Bytes);
      if (damaged) applyDamage(at + static_cast<int32_t>(i), layout, audio, sector);
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
  const size_t main = sectorBytes(layout, audio) - layout.c2Bytes;
  uint8_t* c2 = sector + main;
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
    if (at) sector[*at] ^= static_cast<uint8_t>(hashMix(readSerial_ * 0x10001ull + uint64_t(lba) * 2353 + i) | 1);
    if (layout.c2Bytes > 0) c2[i >> 3] |= static_cast<uint8_t>(0x80 >> (i & 7));
  }
  if (layout.c2Bytes == kC2Bytes + 2) {
    uint8_t any = 0;
    for (size_t k = 0; k < kC2Bytes; ++k) any |= c2[k];
    c2[kC2Bytes] = any;
  }
}

}  // namespace tmx::emu
