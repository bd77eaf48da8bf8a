// The audio cache: a sector read, then `after` more sectors past it, then
// the first one again. A re-read that comes back faster than the disc can
// deliver it at the speed it spins came from memory. The size is the most
// read after it that still leaves it there; the flush distance the nearest
// single read that empties it.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ripping/ripping_check.h"
#include "ripping/verdict_text.h"

namespace tmx {
namespace {

constexpr int32_t kChunk = 25;
constexpr int32_t kLargestCache = 8 * 1024 * 1024 / 2352;  // searched up to 8 MB
constexpr int32_t kProbeSpacing = 6'000;

}  // namespace

bool RippingCheck::measureRate(int32_t at) {
  std::vector<uint8_t> buffer(kChunk * 2352);
  double seconds = 0;
  for (int i = 0; i < 12; ++i) {
    const Timed t = readAudio(at + i * kChunk, kChunk, buffer.data());
    if (t.sent != Sent::Ok) return false;
    if (i >= 2) seconds += t.seconds;  // the first reads include the seek
  }
  sectorsPerSecond_ = seconds > 0 ? 10 * kChunk / seconds : 0;
  return sectorsPerSecond_ > 0;
}

// A fresh stretch each time, so nothing of an earlier probe is in the cache.
bool RippingCheck::probeHeld(int32_t after, int32_t farAway, Probe& probe) {
  const int32_t span = kChunk + std::max(after, farAway) + kChunk;
  if (nextProbeLba_ + span >= disc_.sectors - 200) nextProbeLba_ = 200;
  const int32_t at = nextProbeLba_;
  nextProbeLba_ += std::max(span, kProbeSpacing) + kProbeSpacing;
  std::vector<uint8_t> buffer(kChunk * 2352);
  if (readAudio(at, kChunk, buffer.data()).sent != Sent::Ok) return false;
  for (int32_t done = 0; done < after; done += kChunk) {
    const auto n = static_cast<uint32_t>(std::min(kChunk, after - done));
    if (readAudio(at + kChunk + done, n, buffer.data()).sent != Sent::Ok) return false;
  }
  if (farAway > 0 && readAudio(at + kChunk - 1 + farAway, 1, buffer.data()).sent != Sent::Ok) return false;
  const Timed again = readAudio(at, kChunk, buffer.data());
  if (again.sent != Sent::Ok) return false;
  probe.rereadMs = again.seconds * 1000;
  probe.discMs = kChunk / sectorsPerSecond_ * 1000;
  probe.held = again.seconds < 0.5 * kChunk / sectorsPerSecond_;
  return true;
}

// A busy host can answer a re-read late, so that memory looks like the disc;
// nothing makes the disc look like memory. A miss counts when seen twice.
bool RippingCheck::probeHeldSure(int32_t after, int32_t farAway, Probe& probe) {
  if (!probeHeld(after, farAway, probe)) return false;
  if (probe.held) return true;
  Probe again;
  if (!probeHeld(after, farAway, again)) return false;
  if (again.held) probe = again;
  return true;
}

void RippingCheck::cacheSize() {
  Probe p;
  int32_t held = kChunk, gone = 0;
  for (int32_t n = 2 * kChunk; n <= kLargestCache && gone == 0; n *= 2) {
    if (!probeHeldSure(n, 0, p)) return;
    (p.held ? held : gone) = n;
  }
  if (gone == 0) {
    f_.cache.sizeKB.reset();
    status("  the cache holds more than 8 MB: its size was not found");
    return;
  }
  while (gone - held > 1) {
    const int32_t mid = held + (gone - held) / 2;
    if (!probeHeldSure(mid, 0, p)) return;
    (p.held ? held : gone) = mid;
  }
  f_.cache.sizeKB = (held + kChunk) * 2352.0 / 1024.0;
}

void RippingCheck::cacheFlush() {
  Probe p;
  int32_t kept = 0, flushed = 0;
  for (int32_t d : {100, 1'000, 10'000, 100'000}) {
    if (d + 3 * kChunk >= disc_.sectors - 400) break;
    if (!probeHeldSure(0, d, p)) return;
    if (!p.held) {
      flushed = d;
      break;
    }
    kept = d;
  }
  if (flushed == 0) {
    if (kept > 0) f_.cache.notFlushedUpTo = kept;
    return;
  }
  while (flushed - kept > 1) {
    const int32_t mid = kept + (flushed - kept) / 2;
    if (!probeHeldSure(0, mid, p)) return;
    (p.held ? kept : flushed) = mid;
  }
  f_.cache.flushDistance = flushed;
}

void RippingCheck::cachePart() {
  beginPart(f_.cachePart, "Audio cache");
  if (audioOpcode_ == 0) {
    f_.cachePart.skipped = "no read command returns whole sectors";
  } else {
    commands_.SetReadSpeed(drive_, 0xFFFF);
    nextProbeLba_ = std::max<int32_t>(200, disc_.sectors / 8);
    Probe p;
    if (measureRate(nextProbeLba_) && probeHeldSure(kChunk, 0, p)) {
      f_.cache.caches = p.held;
      f_.cache.rereadMs = p.rereadMs;
      f_.cache.discMs = p.discMs;
      if (p.held) {
        cacheSize();
        cacheFlush();
      }
      char line[160];
      std::snprintf(line, sizeof line, "  re-read of %d sectors after %d more: %.1f ms, the disc needs %.1f ms", kChunk,
                    kChunk, p.rereadMs, p.discMs);
      status(line);
      if (f_.cache.sizeKB) status("  cache of about " + cacheSizeText(*f_.cache.sizeKB));
      if (f_.cache.flushDistance) status("  a read " + std::to_string(*f_.cache.flushDistance) + " sectors away empties it");
      if (f_.cache.notFlushedUpTo) {
        status("  no read up to " + std::to_string(*f_.cache.notFlushedUpTo) + " sectors away empties it");
      }
    }
  }
  endPart(20);
}

// Reads elsewhere, so the next read of `awayFrom` comes from the disc as a
// new stream: far enough to empty a cache that a far read empties, and more
// than the cache holds when none does (8 MB when its size is not known).
void RippingCheck::defeatCache(int32_t awayFrom) {
  const int32_t far = awayFrom > disc_.sectors / 2 ? std::max(0, awayFrom - 40'000) : awayFrom + 40'000;
  const int32_t at = std::clamp(far, 0, std::max(0, disc_.sectors - kLargestCache - 100));
  int32_t sectors = 1;  // a new stream at the least
  if (f_.cache.caches.value_or(true) && (!f_.cache.flushDistance || *f_.cache.flushDistance > 40'000)) {
    sectors = f_.cache.sizeKB ? static_cast<int32_t>(*f_.cache.sizeKB * 1024 / 2352) + 2 * kChunk : kLargestCache;
  }
  std::vector<uint8_t> buffer(kChunk * 2352);
  for (int32_t done = 0; done < sectors; done += kChunk) {
    const auto n = static_cast<uint32_t>(std::min(kChunk, sectors - done));
    if (readAudio(at + done, n, buffer.data()).sent == Sent::Ended) return;
  }
}

}  // namespace tmx
