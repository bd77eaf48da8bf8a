// C2 pointers: supported and in which format (from the read commands), and
// whether they are true: a scan with C2 finds the damage, then stretches
// around it are re-read several times past the cache and compared.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ripping/c2_analysis.h"
#include "ripping/ripping_check.h"

namespace tmx {
namespace {

constexpr int32_t kChunk = 25;
constexpr uint32_t kStride = 2352 + kC2PointerBytes;
constexpr int32_t kMargin = 50;      // sectors re-read around the damage found
constexpr int32_t kGap = 200;        // flagged sectors further apart start a new stretch
constexpr int32_t kLongest = 600;    // sectors of one stretch
constexpr size_t kMostStretches = 4;

bool anyBit(const uint8_t* c2) {
  return std::any_of(c2, c2 + kC2PointerBytes, [](uint8_t b) { return b != 0; });
}

std::vector<LbaRange> stretchesAround(const std::vector<int32_t>& flagged, int32_t sectors) {
  std::vector<LbaRange> out;
  for (size_t i = 0; i < flagged.size() && out.size() < kMostStretches;) {
    size_t j = i;
    while (j + 1 < flagged.size() && flagged[j + 1] - flagged[j] <= kGap && flagged[j + 1] - flagged[i] < kLongest) ++j;
    const int32_t first = std::max(0, flagged[i] - kMargin);
    const int32_t end = std::min(sectors, flagged[j] + 1 + kMargin);
    out.push_back({first, end - first});
    i = j + 1;
  }
  return out;
}

}  // namespace

void RippingCheck::c2Scan(std::vector<int32_t>& flagged) {
  std::vector<uint8_t> buffer(kChunk * kStride);
  const double scanEnds = now() + options_.c2ScanSeconds;
  partEnds_ = scanEnds + options_.partSeconds;  // the scan has its own limit, the re-reads theirs
  int32_t lba = 0;
  for (; lba < disc_.sectors && now() < scanEnds; lba += kChunk) {
    const auto n = static_cast<uint32_t>(std::min(kChunk, disc_.sectors - lba));
    const Timed t = readAudio(lba, n, buffer.data(), C2Choice::Pointers);
    if (t.sent == Sent::Ended) return;
    if (hooks_.progress && lba % 9000 == 0) hooks_.progress(35 + static_cast<int>(40.0 * lba / disc_.sectors));
    for (uint32_t i = 0; i < n && t.sent == Sent::Ok; ++i) {
      if (anyBit(buffer.data() + i * kStride + 2352)) flagged.push_back(lba + static_cast<int32_t>(i));
    }
  }
  f_.c2.scannedTo = std::min(lba, disc_.sectors);
  partEnds_ = now() + options_.partSeconds;
}

void RippingCheck::c2Rereads(const std::vector<LbaRange>& windows) {
  C2Tally tally;
  std::vector<uint8_t> buffer(kChunk * kStride);
  for (const LbaRange& w : windows) {
    std::vector<SectorRereads> sectors(static_cast<size_t>(w.count));
    std::vector<bool> unreadable(static_cast<size_t>(w.count), false);
    for (int pass = 0; pass < options_.c2Rereads; ++pass) {
      defeatCache(w.first);
      for (int32_t done = 0; done < w.count; done += kChunk) {
        const auto n = static_cast<uint32_t>(std::min(kChunk, w.count - done));
        const Timed t = readAudio(w.first + done, n, buffer.data(), C2Choice::Pointers);
        if (t.sent == Sent::Ended) return;
        for (uint32_t i = 0; i < n; ++i) {
          const size_t k = static_cast<size_t>(done) + i;
          if (t.sent != Sent::Ok) {
            unreadable[k] = true;
            continue;
          }
          const uint8_t* s = buffer.data() + i * kStride;
          sectors[k].data.emplace_back(s, s + 2352);
          sectors[k].c2.emplace_back(s + 2352, s + kStride);
        }
      }
    }
    for (size_t k = 0; k < sectors.size(); ++k) {
      if (!unreadable[k]) tallySector(sectors[k], tally);
    }
    f_.c2.examined.push_back(w);
  }
  f_.c2.rereads = options_.c2Rereads;
  f_.c2.flaggedDiffering = tally.flaggedDiffering;
  f_.c2.flaggedIdentical = tally.flaggedIdentical;
  f_.c2.differingUnflagged = tally.differingUnflagged;
  f_.c2.shiftBytes = c2Shift(tally);
}

void RippingCheck::c2Part() {
  beginPart(f_.c2Part, "C2 pointers");
  for (const ReadCommandAnswer& a : f_.commands) {
    if (a.c2.value_or(false)) f_.c2.formatBytes = std::max(f_.c2.formatBytes.value_or(0), a.c2BlockErrors.value_or(false) ? 296 : 294);
  }
  const bool asked = std::any_of(f_.commands.begin(), f_.commands.end(), [](const ReadCommandAnswer& a) { return a.c2.has_value(); });
  if (c2Opcode_ != 0 || asked) f_.c2.supported = c2Opcode_ != 0;
  if (!options_.c2) {
    f_.c2Part.skipped = "not asked for";
  } else if (c2Opcode_ == 0) {
    f_.c2Part.skipped = asked ? "no read command returns C2 pointers" : "no read command returns whole sectors";
  } else {
    std::vector<int32_t> flagged;
    c2Scan(flagged);
    if (f_.c2Part.cutOff.empty() && flagged.empty()) {
      const bool whole = *f_.c2.scannedTo >= disc_.sectors;
      f_.c2.judgement = "no C2 errors up to LBA " + std::to_string(*f_.c2.scannedTo) +
                        (whole ? ": accuracy could not be judged on a disc without errors"
                               : " (the scan's time ran out there): accuracy could not be judged");
      status("  " + f_.c2.judgement);
    } else if (f_.c2Part.cutOff.empty()) {
      status("  " + std::to_string(flagged.size()) + " sectors flagged; re-reading around them");
      c2Rereads(stretchesAround(flagged, disc_.sectors));
      char line[200];
      if (f_.c2.flaggedDiffering) {
        std::snprintf(line, sizeof line, "  flagged and different %d, flagged but identical %d, different without a flag %d",
                      *f_.c2.flaggedDiffering, *f_.c2.flaggedIdentical, *f_.c2.differingUnflagged);
        status(line);
      }
      if (f_.c2.shiftBytes && *f_.c2.shiftBytes != 0) {
        status("  C2 bits sit " + std::to_string(*f_.c2.shiftBytes) + " bytes after the bytes they flag");
      }
    }
  }
  endPart(80);
}

}  // namespace tmx
