#include "ripping/verdict_text.h"

#include <cctype>
#include <cstdio>

namespace tmx {
namespace {

std::string format(const char* pattern, double a, double b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

void cacheClaim(const RippingFeatures& f, Verdict& v) {
  const CacheAnswer& c = f.cache;
  if (!c.caches) {
    v.claims.push_back("cache not measured: " + (f.cachePart.skipped.empty() ? f.cachePart.cutOff : f.cachePart.skipped));
    v.sentence += "cache not measured";
    return;
  }
  const std::string evidence = c.rereadMs && c.discMs
                                   ? format("a re-read took %.1f ms where the disc needs %.1f ms", *c.rereadMs, *c.discMs)
                                   : std::string("re-read timings");
  if (!*c.caches) {
    v.sentence += "no audio cache";
    v.claims.push_back("no audio cache: " + evidence + " (audio cache)");
    return;
  }
  // A data disc's cache is measured with raw sectors: the same cache, not heard as audio.
  const std::string what = f.discKind == "data" ? "raw sectors" : "audio";
  v.sentence += c.sizeKB ? "caches about " + cacheSizeText(*c.sizeKB) + " of " + what + ": rip with cache defeat"
                         : "caches " + what + ": rip with cache defeat";
  std::string flush = c.flushDistance ? format("; a read %.0f sectors away empties it", *c.flushDistance)
                      : c.notFlushedUpTo ? format("; no read up to %.0f sectors away empties it", *c.notFlushedUpTo)
                                         : std::string();
  v.claims.push_back("cache: " + evidence + flush + " (audio cache)");
}

void c2Claim(const RippingFeatures& f, Verdict& v) {
  const C2Answer& c = f.c2;
  std::string text;
  if (!c.supported) {
    text = "C2 pointers not measured";
  } else if (!*c.supported) {
    text = "no C2 pointers";
  } else if (!c.flaggedDiffering && !c.differingUnflagged) {
    text = "C2 pointers present, accuracy not judged";
  } else if (c.shiftBytes && *c.shiftBytes != 0) {
    text = format("C2 pointers %.0f bytes off", *c.shiftBytes);
  } else if (c.differingUnflagged.value_or(0) > 0) {
    text = "C2 pointers miss errors";
  } else if (c.flaggedIdentical.value_or(0) > 0) {
    text = "C2 pointers flag good sectors";
  } else {
    text = "C2 pointers reliable";
  }
  v.sentence += "; " + text;
  std::string evidence = c.judgement;
  if (c.flaggedDiffering) {
    evidence = format("%.0f sectors flagged and different, %.0f flagged but identical", *c.flaggedDiffering,
                      c.flaggedIdentical.value_or(0)) +
               format(", %.0f different without a flag over %.0f re-reads", c.differingUnflagged.value_or(0), c.rereads);
  }
  if (evidence.empty()) evidence = f.c2Part.skipped.empty() ? f.c2Part.cutOff : f.c2Part.skipped;
  v.claims.push_back(text + ": " + evidence + " (C2 pointers)");
}

void streamClaim(const RippingFeatures& f, Verdict& v) {
  const AccurateStreamAnswer& s = f.stream;
  std::string text = !s.accurate ? "accurate stream not measured" : *s.accurate ? "accurate stream" : "no accurate stream";
  v.sentence += "; " + text;
  std::string evidence = s.accurate ? format("%.0f passes, largest jump %.0f frames", s.passes, s.largestJumpFrames.value_or(0))
                                    : (f.streamPart.skipped.empty() ? f.streamPart.cutOff : f.streamPart.skipped);
  v.claims.push_back(text + ": " + evidence + " (accurate stream)");
}

}  // namespace

std::string cacheSizeText(double kb) { return kb >= 1024 ? format("%.1f MB", kb / 1024) : format("%.0f KB", kb); }

Verdict rippingVerdict(const RippingFeatures& f) {
  Verdict v;
  cacheClaim(f, v);
  c2Claim(f, v);
  streamClaim(f, v);
  if (!v.sentence.empty()) v.sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(v.sentence[0])));
  return v;
}

}  // namespace tmx
