// What the ripping-features check found, part by part. Every answer is
// optional: what was not measured stays empty, and its part's `skipped` or
// `cutOff` says why, never a default value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tmx {

// How a part ended: run to its end, skipped (with why), or cut off by a
// command that got no answer, its time limit or a stop (with what happened).
struct PartStatus {
  bool ran = false;
  std::string skipped;
  std::string cutOff;
};

struct ReadCommandAnswer {
  uint8_t opcode = 0;  // BEh, B9h, D8h
  std::optional<bool> returnsAudio;
  std::optional<bool> c2;               // with 294 bytes of C2 pointers
  std::optional<bool> c2BlockErrors;    // with 296 (the block error byte pair)
  std::optional<bool> rawPw;            // 96 bytes of raw P-W sub-channel
  std::optional<bool> formattedQ;       // 16 bytes of Q
  std::optional<uint32_t> c2Offset;     // where C2 starts in the returned sector
  std::optional<uint32_t> subOffset;    // where the sub-channel starts, when asked with C2
};

struct CacheAnswer {
  std::optional<bool> caches;
  std::optional<double> sizeKB;           // sectors of 2352 bytes that were still served from memory
  std::optional<int32_t> flushDistance;   // the nearest read (in sectors) that emptied it
  std::optional<int32_t> notFlushedUpTo;  // no read up to this far emptied it
  // The evidence: a re-read's time against the time the disc needs for it.
  std::optional<double> rereadMs;
  std::optional<double> discMs;
};

struct AccurateStreamAnswer {
  std::optional<bool> accurate;
  int passes = 0;
  std::optional<int32_t> largestJumpFrames;  // stereo frames of 4 bytes
};

struct LbaRange {
  int32_t first = 0;
  int32_t count = 0;
};

struct C2Answer {
  std::optional<bool> supported;
  std::optional<int> formatBytes;  // 294, or 296 when the block error byte comes too
  std::optional<int32_t> flaggedDiffering;
  std::optional<int32_t> flaggedIdentical;
  std::optional<int32_t> differingUnflagged;
  std::optional<int> shiftBytes;  // C2 bits that many bytes after the bytes they flag
  std::vector<LbaRange> examined;  // the stretches re-read
  int rereads = 0;
  std::optional<int32_t> scannedTo;  // the C2 scan for damage reached this LBA
  std::string judgement;             // why accuracy could not be judged, when it could not
};

struct OverreadAnswer {
  std::optional<int> leadIn;   // sectors readable before LBA 0, up to 100
  std::optional<int> leadOut;  // past the last sector, up to 100
};

struct SpeedSetting {
  int requestedX = 0;  // 0: the maximum (FFFFh)
  std::optional<double> measuredX;
};
enum class SpeedVerdict { Obeyed, Ignored, Capped };
struct SpeedAnswer {
  int32_t atLba = 0;
  std::vector<SpeedSetting> settings;
  std::optional<SpeedVerdict> verdict;
  std::optional<double> capX;
};

struct RippingFeatures {
  std::string discKind;  // "audio", "data", "mixed"
  PartStatus readPart, cachePart, streamPart, c2Part, overreadPart, speedPart;
  std::vector<ReadCommandAnswer> commands;
  CacheAnswer cache;
  AccurateStreamAnswer stream;
  C2Answer c2;
  OverreadAnswer overread;
  SpeedAnswer speed;
  std::string verdict;  // the closing sentence
  std::vector<std::string> verdictClaims;  // each claim with the measurement it stands on
};

}  // namespace tmx
