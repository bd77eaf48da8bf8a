// The ripping check's pure parts: the Q frame and where the sub-channel sits,
// C2 tallies and the shift, the offset of a stream, the speed verdict and
// the verdict sentence.
#include <gtest/gtest.h>

#include <numeric>

#include "ripping/c2_analysis.h"
#include "ripping/ripping_text.h"
#include "ripping/sector_checks.h"
#include "ripping/speed_verdict.h"
#include "ripping/stream_offset.h"
#include "ripping/verdict_text.h"

namespace tmx {
namespace {

// Q of LBA 1000 in track 1: absolute 00:15:25.
std::array<uint8_t, 12> qOf1000() {
  std::array<uint8_t, 12> q{0x01, 0x01, 0x01, 0x00, 0x13, 0x25, 0x00, 0x00, 0x15, 0x25, 0, 0};
  const uint16_t crc = qFrameCrc(std::span<const uint8_t>(q.data(), 10));
  q[10] = static_cast<uint8_t>(crc >> 8);
  q[11] = static_cast<uint8_t>(crc);
  return q;
}

TEST(QFrame, PositionOnlyWithAGoodCrcAndBcd) {
  auto q = qOf1000();
  EXPECT_EQ(qAbsoluteLba(q), 1000);
  // CRC-16/CCITT of "123456789" with zero start is 31C3h; stored inverted.
  const std::string check = "123456789";
  EXPECT_EQ(qFrameCrc(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(check.data()), check.size())),
            static_cast<uint16_t>(~0x31C3));
  q[9] = 0x26;
  EXPECT_EQ(qAbsoluteLba(q), std::nullopt) << "CRC no longer holds";
  q = qOf1000();
  q[0] = 0x02;
  EXPECT_EQ(qAbsoluteLba(q), std::nullopt) << "mode 2 Q (catalogue number) is no position";
}

TEST(QFrame, FoundAfterTheAudioOrAfterC2RawOrFormatted) {
  const auto q = qOf1000();
  std::vector<uint8_t> sector(2352 + 294 + 96, 0);
  for (size_t i = 0; i < 96; ++i) sector[2352 + 294 + i] = ((q[i / 8] >> (7 - i % 8)) & 1) ? 0x40 : 0x00;
  EXPECT_EQ(deinterleaveQ(std::span<const uint8_t, 96>(sector.data() + 2646, 96)), q);
  EXPECT_EQ(findSubchannel(sector, 1000, SubChoice::RawPw), 2646u);
  EXPECT_EQ(findSubchannel(sector, 1001, SubChoice::RawPw), std::nullopt) << "the position must be the sector's";
  std::vector<uint8_t> formatted(2352 + 16, 0);
  std::copy(q.begin(), q.end(), formatted.begin() + 2352);
  EXPECT_EQ(findSubchannel(formatted, 1000, SubChoice::FormattedQ), 2352u);
  EXPECT_EQ(findSubchannel(formatted, 1000, SubChoice::RawPw), std::nullopt);
}

SectorRereads rereads(const std::vector<std::vector<size_t>>& changed, const std::vector<std::vector<size_t>>& flags) {
  SectorRereads r;
  for (size_t k = 0; k < changed.size(); ++k) {
    std::vector<uint8_t> data(2352, 0x11), c2(294, 0);
    for (size_t i : changed[k]) data[i] = static_cast<uint8_t>(0x20 + k);
    for (size_t i : flags[k]) c2[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    r.data.push_back(data);
    r.c2.push_back(c2);
  }
  return r;
}

TEST(C2Tally, CountsEachKindAndFindsAConstantShift) {
  C2Tally t;
  const std::vector<size_t> burst{100, 101, 102, 103, 104, 105, 106, 107};
  std::vector<size_t> late;
  for (size_t i : burst) late.push_back(i + 4);
  tallySector(rereads({burst, burst, burst}, {late, late, late}), t);    // flagged, differs
  tallySector(rereads({{}, {}, {}}, {{7}, {}, {}}), t);                  // flagged, identical
  tallySector(rereads({{}, {9}, {}}, {{}, {}, {}}), t);                  // differs, no flag
  tallySector(rereads({{}, {}, {}}, {{}, {}, {}}), t);                   // clean
  EXPECT_EQ(t.flaggedDiffering, 1);
  EXPECT_EQ(t.flaggedIdentical, 1);
  EXPECT_EQ(t.differingUnflagged, 1);
  EXPECT_EQ(c2Shift(t), 4);

  C2Tally aligned;
  tallySector(rereads({burst, burst}, {burst, burst}), aligned);
  EXPECT_EQ(c2Shift(aligned), 0);
  EXPECT_EQ(c2Shift(C2Tally{}), std::nullopt) << "nothing flagged and different: no shift to tell";
}

TEST(StreamOffset, FindsTheReferenceShiftedEitherWay) {
  std::vector<uint8_t> window(14 * 2352);
  std::iota(window.begin(), window.end(), uint8_t{0});
  for (size_t i = 0; i < window.size(); ++i) window[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  const std::span<const uint8_t> reference(window.data() + 2 * 2352, 10 * 2352);
  EXPECT_EQ(streamOffsetFrames(reference, window, 2 * 588, 1176), 0);
  std::vector<uint8_t> later(window.size(), 0);
  std::copy(window.begin(), window.end() - 24 * 4, later.begin() + 24 * 4);  // 24 frames later
  EXPECT_EQ(streamOffsetFrames(reference, later, 2 * 588, 1176), 24);
  std::vector<uint8_t> earlier(window.begin() + 7 * 4, window.end());
  earlier.resize(window.size(), 0);
  EXPECT_EQ(streamOffsetFrames(reference, earlier, 2 * 588, 1176), -7);
  EXPECT_EQ(streamOffsetFrames(reference, std::vector<uint8_t>(window.size(), 0), 2 * 588, 1176), std::nullopt);
}

TEST(SpeedVerdict, ObeyedIgnoredCappedOrNotJudged) {
  EXPECT_EQ(judgeSpeeds({{4, 4.0}, {8, 8.1}, {16, 15.8}, {0, 49.0}}).verdict, SpeedVerdict::Obeyed);
  EXPECT_EQ(judgeSpeeds({{4, 47.5}, {8, 48.0}, {16, 48.2}, {0, 48.0}}).verdict, SpeedVerdict::Ignored);
  const SpeedJudgement capped = judgeSpeeds({{4, 4.0}, {8, 8.0}, {16, 8.1}, {0, 24.6}});
  EXPECT_EQ(capped.verdict, SpeedVerdict::Capped);
  EXPECT_DOUBLE_EQ(*capped.capX, 8.1);
  // A CLV 4X drive: no setting lies clearly below its top speed.
  EXPECT_EQ(judgeSpeeds({{4, 4.0}, {8, 4.0}, {16, 4.0}, {0, 4.0}}).verdict, std::nullopt);
  EXPECT_EQ(judgeSpeeds({{4, 4.0}, {8, 8.0}, {16, 16.0}, {0, std::nullopt}}).verdict, std::nullopt)
      << "the maximum not measured: nothing to compare with";
}

TEST(Verdict, OneSentenceEachClaimWithItsMeasurement) {
  RippingFeatures f;
  f.cache.caches = true;
  f.cache.sizeKB = 1843.2;
  f.cache.rereadMs = 1.8;
  f.cache.discMs = 8.2;
  f.cache.flushDistance = 1000;
  f.c2.supported = true;
  f.c2.flaggedDiffering = 8;
  f.c2.flaggedIdentical = 0;
  f.c2.differingUnflagged = 0;
  f.c2.shiftBytes = 0;
  f.c2.rereads = 3;
  f.stream.accurate = true;
  f.stream.passes = 5;
  f.stream.largestJumpFrames = 0;
  const Verdict v = rippingVerdict(f);
  EXPECT_EQ(v.sentence, "Caches about 1.8 MB of audio: rip with cache defeat; C2 pointers reliable; accurate stream");
  ASSERT_EQ(v.claims.size(), 3u);
  EXPECT_EQ(v.claims[0],
            "cache: a re-read took 1.8 ms where the disc needs 8.2 ms; a read 1000 sectors away empties it (audio cache)");
  EXPECT_EQ(v.claims[1],
            "C2 pointers reliable: 8 sectors flagged and different, 0 flagged but identical, 0 different without a flag "
            "over 3 re-reads (C2 pointers)");

  RippingFeatures none;
  none.cachePart.skipped = "no read command returns whole sectors";
  none.c2.supported = true;
  none.c2.judgement = "no C2 errors up to LBA 333000: accuracy could not be judged on a disc without errors";
  none.streamPart.cutOff = "stopped";
  const Verdict n = rippingVerdict(none);
  EXPECT_EQ(n.sentence, "Cache not measured; C2 pointers present, accuracy not judged; accurate stream not measured");
  EXPECT_EQ(n.claims[2], "accurate stream not measured: stopped (accurate stream)");
  EXPECT_EQ(cacheSizeText(696.0), "696 KB");
}

// A check under way shows the parts that ended, skipped or cut off ones
// included, and no verdict before there is one.
TEST(RippingText, SoFarHoldsTheEndedPartsOnly) {
  RippingFeatures f;
  f.discKind = "audio";
  f.readPart.ran = true;
  f.commands.push_back({.opcode = 0xD8, .returnsAudio = false});
  f.cachePart.skipped = "no read command returns whole sectors";
  const std::vector<std::string> soFar = rippingTextLinesSoFar(f);
  EXPECT_EQ(soFar, (std::vector<std::string>{"Ripping features (audio disc)", "Read commands",
                                             "  CD-DA read (D8h): returns audio no",
                                             "Audio cache: not measured (no read command returns whole sectors)"}));
  const std::vector<std::string> all = rippingTextLines(f);
  EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 4), soFar);
  EXPECT_EQ(all[4], "Accurate stream: not measured");
  EXPECT_EQ(all.back(), "Verdict: ");

  f.streamPart.cutOff = "stopped";
  f.verdict = "Cache not measured";
  const std::vector<std::string> ended = rippingTextLinesSoFar(f);
  ASSERT_EQ(ended.size(), 6u);
  EXPECT_EQ(ended[4], "Accurate stream: not measured (cut off: stopped)");
  EXPECT_EQ(ended[5], "Verdict: Cache not measured");
}

}  // namespace
}  // namespace tmx
