#include "ripping/ripping_text.h"

#include <cstdio>
#include <utility>

#include "ripping/verdict_text.h"

namespace tmx {
namespace {

std::string yesNo(const std::optional<bool>& v) { return !v ? "not measured" : *v ? "yes" : "no"; }

std::string line(const char* pattern, double a, double b = 0) {
  char text[200];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

std::string whyNot(const PartStatus& p) {
  return !p.skipped.empty() ? "not measured (" + p.skipped + ")"
         : !p.cutOff.empty() ? "not measured (cut off: " + p.cutOff + ")"
                             : "not measured";
}

void commandLines(const RippingFeatures& f, std::vector<std::string>& out) {
  out.push_back("Read commands");
  if (f.commands.empty()) out.push_back("  " + whyNot(f.readPart));
  for (const ReadCommandAnswer& a : f.commands) {
    const char* what = f.discKind == "audio" ? ": returns audio " : ": returns raw sectors ";
    out.push_back(std::string("  ") + readCommandName(a.opcode) + what + yesNo(a.returnsAudio));
    if (!a.returnsAudio.value_or(false)) continue;
    if (a.opcode != 0xD8) out.push_back("    C2 pointers (294): " + yesNo(a.c2) + ", with block errors (296): " + yesNo(a.c2BlockErrors));
    out.push_back("    sub-channel raw P-W: " + yesNo(a.rawPw) + ", formatted Q: " + yesNo(a.formattedQ));
    if (a.c2Offset) out.push_back(line("    C2 from byte %.0f", *a.c2Offset));
    if (a.subOffset) out.push_back(line("    sub-channel from byte %.0f (asked with C2)", *a.subOffset));
  }
}

void cacheLines(const RippingFeatures& f, std::vector<std::string>& out) {
  const CacheAnswer& c = f.cache;
  if (!c.caches) return out.push_back("Audio cache: " + whyNot(f.cachePart));
  out.push_back(std::string("Audio cache: ") + (*c.caches ? "yes" : "no"));
  if (c.rereadMs && c.discMs) out.push_back(line("  re-read %.1f ms, the disc needs %.1f ms", *c.rereadMs, *c.discMs));
  if (!*c.caches) return;
  out.push_back("  size: " + (c.sizeKB ? "about " + cacheSizeText(*c.sizeKB) : std::string("not found (more than 8 MB, or cut off)")));
  if (c.flushDistance) out.push_back(line("  emptied by a read %.0f sectors away", *c.flushDistance));
  if (c.notFlushedUpTo) out.push_back(line("  not emptied by a read up to %.0f sectors away", *c.notFlushedUpTo));
  if (!c.flushDistance && !c.notFlushedUpTo) out.push_back("  flush distance: not measured");
}

void c2Lines(const RippingFeatures& f, std::vector<std::string>& out) {
  const C2Answer& c = f.c2;
  if (!c.supported) return out.push_back("C2 pointers: " + whyNot(f.c2Part));
  if (!*c.supported) return out.push_back("C2 pointers: no");
  out.push_back(line("C2 pointers: yes, %.0f bytes", c.formatBytes.value_or(294)));
  if (c.scannedTo) out.push_back(line("  scanned for damage up to LBA %.0f", *c.scannedTo));
  if (!c.judgement.empty()) out.push_back("  " + c.judgement);
  if (c.flaggedDiffering) {
    out.push_back(line("  flagged and different: %.0f, flagged but identical: %.0f", *c.flaggedDiffering,
                       c.flaggedIdentical.value_or(0)));
    out.push_back(line("  different without a flag: %.0f (%.0f reads of each sector)", c.differingUnflagged.value_or(0), c.rereads));
  } else if (c.judgement.empty()) {
    out.push_back("  accuracy: " + whyNot(f.c2Part));
  }
  if (c.shiftBytes) out.push_back(line("  shift of the C2 bits: %.0f bytes", *c.shiftBytes));
}

void speedLines(const RippingFeatures& f, std::vector<std::string>& out) {
  if (f.speed.settings.empty()) return out.push_back("Speed control: " + whyNot(f.speedPart));
  std::string verdict = !f.speed.verdict                              ? "not judged"
                        : *f.speed.verdict == SpeedVerdict::Obeyed    ? "obeyed"
                        : *f.speed.verdict == SpeedVerdict::Ignored   ? "ignored"
                                                                      : line("capped at %.1fX", f.speed.capX.value_or(0));
  out.push_back("Speed control: " + verdict);
  for (const SpeedSetting& s : f.speed.settings) {
    const std::string asked = s.requestedX == 0 ? "maximum" : std::to_string(s.requestedX) + "X";
    out.push_back("  " + asked + ": " + (s.measuredX ? line("%.1fX", *s.measuredX) : std::string("not measured")));
  }
}

}  // namespace

const char* readCommandName(uint8_t opcode) {
  return opcode == 0xBE ? "READ CD (BEh)" : opcode == 0xB9 ? "READ CD MSF (B9h)" : "CD-DA read (D8h)";
}

namespace {

void streamLines(const RippingFeatures& f, std::vector<std::string>& out) {
  if (!f.stream.accurate) return out.push_back("Accurate stream: " + whyNot(f.streamPart));
  out.push_back(std::string("Accurate stream: ") + (*f.stream.accurate ? "yes" : "no") +
                line(" over %.0f passes, largest jump %.0f frames", f.stream.passes, f.stream.largestJumpFrames.value_or(0)));
}

void overreadLines(const RippingFeatures& f, std::vector<std::string>& out) {
  const OverreadAnswer& o = f.overread;
  out.push_back(o.leadIn ? line("Overread: %.0f sectors before LBA 0, %.0f past the end", *o.leadIn, o.leadOut.value_or(0))
                         : "Overread: " + whyNot(f.overreadPart));
}

bool ended(const PartStatus& p) { return p.ran || !p.skipped.empty() || !p.cutOff.empty(); }

// The parts in the order the check runs them; `all` false leaves out those
// that have not ended yet.
std::vector<std::string> textLines(const RippingFeatures& f, bool all) {
  using Section = void (*)(const RippingFeatures&, std::vector<std::string>&);
  const std::pair<const PartStatus*, Section> sections[] = {
      {&f.readPart, commandLines},      {&f.cachePart, cacheLines},         {&f.streamPart, streamLines},
      {&f.c2Part, c2Lines},             {&f.overreadPart, overreadLines},   {&f.speedPart, speedLines}};
  std::vector<std::string> out;
  out.push_back("Ripping features (" + f.discKind + " disc)");
  for (const auto& [part, section] : sections) {
    if (all || ended(*part)) section(f, out);
  }
  if (!all && f.verdict.empty()) return out;
  out.push_back("Verdict: " + f.verdict);
  for (const std::string& claim : f.verdictClaims) out.push_back("  " + claim);
  return out;
}

}  // namespace

std::vector<std::string> rippingTextLines(const RippingFeatures& f) { return textLines(f, true); }

std::vector<std::string> rippingTextLinesSoFar(const RippingFeatures& f) { return textLines(f, false); }

}  // namespace tmx
