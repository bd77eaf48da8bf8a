// Accurate stream over several passes: a window around a reference stretch
// read again after reading elsewhere (a new stream each time, past any
// cache); the largest offset jump is kept.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ripping/ripping_check.h"
#include "ripping/stream_offset.h"

namespace tmx {
namespace {

constexpr int32_t kLead = 2;        // sectors of the window before the reference
constexpr int32_t kReference = 10;  // sectors compared
constexpr int32_t kWindow = kReference + 2 * kLead;
constexpr int kPasses = 5;

}  // namespace

void RippingCheck::streamPart() {
  beginPart(f_.streamPart, "Accurate stream");
  if (disc_.kind != 1) {
    f_.streamPart.skipped = "not an audio disc";
  } else if (audioOpcode_ == 0) {
    f_.streamPart.skipped = "no read command returns audio";
  } else {
    const int32_t at = disc_.sectors / 2 + 1234;
    std::vector<uint8_t> first(kWindow * 2352), window(kWindow * 2352);
    bool accurate = true;
    int32_t largest = 0;
    int passes = 0;
    if (readAudio(at - kLead, kWindow, first.data()).sent == Sent::Ok) {
      const std::span<const uint8_t> reference(first.data() + kLead * 2352, kReference * 2352);
      for (int pass = 0; pass < kPasses; ++pass) {
        defeatCache(at);
        if (readAudio(at - kLead, kWindow, window.data()).sent != Sent::Ok) break;
        const auto offset = streamOffsetFrames(reference, window, kLead * 588, kLead * 588);
        ++passes;
        accurate = accurate && offset == 0;
        largest = std::max(largest, offset ? std::abs(*offset) : kLead * 588);
      }
    }
    if (passes == kPasses) {
      f_.stream.passes = passes;
      f_.stream.accurate = accurate;
      f_.stream.largestJumpFrames = largest;
      char line[120];
      std::snprintf(line, sizeof line, "  %s over %d passes, largest jump %d frames", accurate ? "accurate" : "not accurate",
                    passes, largest);
      status(line);
    } else if (f_.streamPart.cutOff.empty()) {
      f_.streamPart.cutOff = "a read failed after " + std::to_string(passes) + " passes";
    }
  }
  endPart(35);
}

int RippingCheck::overreadCount(bool before) {
  std::vector<uint8_t> sector(2352);
  int count = 0;
  for (int k = 1; k <= 100; ++k) {
    const int32_t lba = before ? -k : disc_.sectors + k - 1;
    const Timed t = send(ripRead(audioOpcode_, lba, 1, C2Choice::None, SubChoice::None), sector.data());
    if (t.sent != Sent::Ok) break;
    count = k;
  }
  return count;
}

void RippingCheck::overreadPart() {
  beginPart(f_.overreadPart, "Overread");
  if (!options_.overread) {
    f_.overreadPart.skipped = "not asked for: some firmware hangs outside the disc";
  } else if (audioOpcode_ == 0) {
    f_.overreadPart.skipped = "no read command returns whole sectors";
  } else {
    const int leadIn = overreadCount(true);
    if (f_.overreadPart.cutOff.empty()) f_.overread.leadIn = leadIn;
    const int leadOut = f_.overreadPart.cutOff.empty() ? overreadCount(false) : 0;
    if (f_.overreadPart.cutOff.empty()) f_.overread.leadOut = leadOut;
    if (f_.overread.leadIn) status("  lead-in: " + std::to_string(*f_.overread.leadIn) + " sectors before LBA 0");
    if (f_.overread.leadOut) status("  lead-out: " + std::to_string(*f_.overread.leadOut) + " sectors past the end");
  }
  endPart(85);
}

}  // namespace tmx
