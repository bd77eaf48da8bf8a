#include "emulator/toc_replies.h"

#include <span>

#include "emulator/byte_order.h"

namespace tmx::emu {
namespace {

constexpr uint8_t kLeadOutTrack = 0xAA;
// A blank disc reports one empty track and its lead-out where the capacity
// says its last block is (FFFFFF69h + 1).
constexpr int32_t kBlankLeadOut = -150;

uint8_t control(bool data) { return data ? 0x04 : 0x00; }

void putAddress(std::vector<uint8_t>& out, size_t at, int32_t lba, bool msf) {
  std::span<uint8_t> s(out);
  if (msf) {
    const Msf t = lbaToMsf(lba);
    s[at] = 0;
    s[at + 1] = t.m;
    s[at + 2] = t.s;
    s[at + 3] = t.f;
  } else {
    putBe32(s, at, static_cast<uint32_t>(lba));
  }
}

struct TocTrack {
  uint8_t number;
  bool data;
  int32_t start;
};

std::vector<TocTrack> tocTracks(const Disc& disc) {
  std::vector<TocTrack> t;
  if (disc.blank()) {
    t.push_back({1, true, 0});
  } else {
    for (const Track& tr : disc.tracks()) t.push_back({tr.number, tr.data, tr.start});
  }
  return t;
}

int32_t leadOut(const Disc& disc) { return disc.blank() ? kBlankLeadOut : disc.capacity(); }

void finishLength(std::vector<uint8_t>& out) { putBe16(out, 0, static_cast<uint32_t>(out.size() - 2)); }

}  // namespace

Reply tocReply(const Disc& disc, uint8_t startTrack, bool msf) {
  const auto tracks = tocTracks(disc);
  const uint8_t first = tracks.front().number;
  const uint8_t last = tracks.back().number;
  if (startTrack > last && startTrack != kLeadOutTrack) return sense::kInvalidFieldInCdb;
  std::vector<uint8_t> out{0, 0, first, last};
  auto descriptor = [&](uint8_t number, bool data, int32_t lba) {
    const size_t at = out.size();
    out.resize(at + 8, 0);
    out[at + 1] = static_cast<uint8_t>(0x10 | control(data));
    out[at + 2] = number;
    putAddress(out, at + 4, lba, msf);
  };
  for (const TocTrack& t : tracks) {
    if (startTrack != kLeadOutTrack && t.number >= startTrack) descriptor(t.number, t.data, t.start);
  }
  descriptor(kLeadOutTrack, tracks.back().data, leadOut(disc));
  finishLength(out);
  return out;
}

Reply sessionInfoReply(const Disc& disc, bool msf) {
  const auto tracks = tocTracks(disc);
  std::vector<uint8_t> out(12, 0);
  out[2] = 1;
  out[3] = 1;
  out[5] = static_cast<uint8_t>(0x10 | control(tracks.front().data));
  out[6] = tracks.front().number;
  putAddress(out, 8, tracks.front().start, msf);
  finishLength(out);
  return out;
}

Reply fullTocReply(const Disc& disc) {
  const auto tracks = tocTracks(disc);
  std::vector<uint8_t> out{0, 0, 1, 1};
  auto entry = [&](bool data, uint8_t point, uint8_t pm, uint8_t ps, uint8_t pf) {
    out.insert(out.end(), {1, static_cast<uint8_t>(0x10 | control(data)), 0, point, 0, 0, 0, 0, pm, ps, pf});
  };
  const bool firstData = tracks.front().data;
  const bool lastData = tracks.back().data;
  // A0: first track and disc type (00h CD-DA or CD-ROM); A1: last track; A2: lead-out.
  entry(firstData, 0xA0, tracks.front().number, 0x00, 0);
  entry(lastData, 0xA1, tracks.back().number, 0, 0);
  const Msf lo = lbaToMsf(leadOut(disc));
  entry(lastData, 0xA2, lo.m, lo.s, lo.f);
  for (const TocTrack& t : tracks) {
    const Msf m = lbaToMsf(t.start);
    entry(t.data, t.number, m.m, m.s, m.f);
  }
  finishLength(out);
  return out;
}

Reply atipReply(const Disc& disc) {
  const auto& atip = disc.spec().atip;
  if (disc.spec().medium == Medium::Pressed || !atip) return sense::kInvalidFieldInCdb;
  std::vector<uint8_t> out(28, 0);
  out[4] = 0xD0 | 0x05;                                 // writing power class, reference speed
  out[5] = 0x00;                                        // unrestricted use not set
  out[6] = static_cast<uint8_t>(0x80 | (disc.erasable() ? 0x40 : 0x00) | 0x04);  // disc type, A1 valid
  out[8] = atip->leadInStart.m;
  out[9] = atip->leadInStart.s;
  out[10] = atip->leadInStart.f;
  out[12] = atip->lastLeadOutStart.m;
  out[13] = atip->lastLeadOutStart.s;
  out[14] = atip->lastLeadOutStart.f;
  out[16] = atip->a1;
  finishLength(out);
  return out;
}

std::vector<uint8_t> discInformationReply(const Disc& disc) {
  std::vector<uint8_t> out(34, 0);
  const bool recordable = disc.spec().medium != Medium::Pressed;
  // Disc status: 0 empty, 2 complete; last session state 3 (complete) unless empty.
  const uint8_t status = disc.blank() ? 0x00 : 0x0E;
  out[2] = static_cast<uint8_t>((disc.erasable() ? 0x10 : 0x00) | status);
  out[3] = 1;  // first track on disc
  out[4] = 1;  // sessions
  const uint8_t last = disc.blank() ? 1 : disc.tracks().back().number;
  out[5] = disc.blank() ? 1 : disc.tracks().front().number;
  out[6] = last;
  out[7] = 0x20;  // unrestricted use
  out[8] = 0x00;  // CD-DA or CD-ROM
  std::span<uint8_t> s(out);
  if (recordable && disc.blank() && disc.spec().atip) {
    const Atip& a = *disc.spec().atip;
    s[17] = a.leadInStart.m;
    s[18] = a.leadInStart.s;
    s[19] = a.leadInStart.f;
    s[21] = a.lastLeadOutStart.m;
    s[22] = a.lastLeadOutStart.s;
    s[23] = a.lastLeadOutStart.f;
  } else {
    putBe32(s, 16, 0xFFFFFFFF);
    putBe32(s, 20, 0xFFFFFFFF);
  }
  finishLength(out);
  return out;
}

}  // namespace tmx::emu
