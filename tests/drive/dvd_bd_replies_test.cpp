// The DVD and BD reply parsers byte for byte: each field from its own bytes,
// and nothing read past what the reply's own length and the span vouch for.
#include <gtest/gtest.h>

#include "drive/configuration_replies.h"
#include "drive/disc_structure_replies.h"
#include "drive/performance_replies.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

void putBe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// A feature header claiming the whole reply, current profile 2Bh, then the features.
Bytes configurationReply(const std::vector<Bytes>& features) {
  Bytes reply{0, 0, 0, 0, 0, 0, 0x00, 0x2B};
  for (const Bytes& f : features) reply.insert(reply.end(), f.begin(), f.end());
  putBe32(reply, 0, static_cast<uint32_t>(reply.size() - 4));
  return reply;
}

const Bytes kProfileList{0x00, 0x00, 0x03, 16, 0x00, 0x2B, 0x01, 0, 0x00, 0x1B, 0x00, 0,
                         0x00, 0x10, 0x00, 0, 0x00, 0x08, 0x00, 0};
const Bytes kCdRead{0x00, 0x1E, 0x09, 4, 0x83, 0, 0, 0};
const Bytes kDvdRead{0x00, 0x1F, 0x05, 4, 0x01, 0, 0x03, 0};
const Bytes kBdRead{0x00, 0x40, 0x01, 28, 0, 0, 0, 0,
                    0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04,
                    0x01, 0x01, 0x01, 0x02, 0x01, 0x03, 0x01, 0x04,
                    0x02, 0x01, 0x02, 0x02, 0x02, 0x03, 0x02, 0x04};
const Bytes kStreaming{0x01, 0x07, 0x03, 4, 0x1F, 0, 0, 0};
const Bytes kSerial{0x01, 0x08, 0x01, 8, 'S', 'N', '1', 'A', '2', 'B', ' ', ' '};

TEST(Configuration, ProfilesAndReadFeatures) {
  const auto config = parseConfiguration(configurationReply({kProfileList, kCdRead, kDvdRead, kBdRead, kStreaming, kSerial}));
  ASSERT_TRUE(config);
  EXPECT_EQ(config->currentProfile, 0x002B);
  EXPECT_EQ(config->profiles, (std::vector<ProfileEntry>{{0x2B, true}, {0x1B, false}, {0x10, false}, {0x08, false}}));
  EXPECT_EQ(config->cdRead, (CdReadFeature{{2, false, true}, true, true, true}));
  EXPECT_EQ(config->dvdRead, (DvdReadFeature{{1, false, true}, true, true, true}));
  ASSERT_TRUE(config->bdRead);
  EXPECT_EQ(config->bdRead->flags, (FeatureFlags{0, false, true}));
  EXPECT_EQ(config->bdRead->rewritable, (std::array<uint16_t, 4>{0x0001, 0x0002, 0x0003, 0x0004}));
  EXPECT_EQ(config->bdRead->recordable, (std::array<uint16_t, 4>{0x0101, 0x0102, 0x0103, 0x0104}));
  EXPECT_EQ(config->bdRead->readOnly, (std::array<uint16_t, 4>{0x0201, 0x0202, 0x0203, 0x0204}));
  EXPECT_TRUE(config->realTimeStreaming);
  EXPECT_EQ(config->serialNumber, "SN1A2B");
  EXPECT_FALSE(config->cutShort);
}

TEST(Configuration, OnlyWhatTheReplyHolds) {
  // A DVD Read feature with no data bytes reads as flags only.
  auto config = parseConfiguration(configurationReply({{0x00, 0x1F, 0x01, 0}}));
  ASSERT_TRUE(config);
  EXPECT_EQ(config->dvdRead, (DvdReadFeature{{0, false, true}, false, false, false}));

  // The reply claims more than the span holds: the descriptor cut in two is
  // not read, nor anything after it.
  Bytes reply = configurationReply({kProfileList, kCdRead, kSerial});
  reply.resize(8 + kProfileList.size() + 5);
  config = parseConfiguration(reply);
  ASSERT_TRUE(config);
  EXPECT_EQ(config->profiles.size(), 4u);
  EXPECT_FALSE(config->cdRead);
  EXPECT_FALSE(config->serialNumber);
  EXPECT_TRUE(config->cutShort);

  // Bytes past the reply's own length are leftovers, however they look.
  reply = configurationReply({kProfileList});
  reply.insert(reply.end(), kSerial.begin(), kSerial.end());
  config = parseConfiguration(reply);
  ASSERT_TRUE(config);
  EXPECT_FALSE(config->serialNumber);
  EXPECT_FALSE(config->cutShort);

  // A profile list whose length is no multiple of 4 keeps its whole descriptors.
  config = parseConfiguration(configurationReply({{0x00, 0x00, 0x03, 6, 0x00, 0x10, 0x01, 0, 0x00, 0x08}}));
  ASSERT_TRUE(config);
  EXPECT_EQ(config->profiles, (std::vector<ProfileEntry>{{0x10, true}}));

  EXPECT_FALSE(parseConfiguration(Bytes{0, 0, 0, 3, 0, 0, 0, 0x10})) << "the header needs 8 claimed bytes";
  EXPECT_FALSE(parseConfiguration(Bytes{0, 0, 0, 4, 0, 0, 0}));
  // The header alone (the probe asks for 8 bytes): a drive claiming its
  // whole feature list is read as far as it sent.
  config = parseConfiguration(Bytes{0, 0, 0x01, 0x2C, 0, 0, 0x00, 0x41});
  ASSERT_TRUE(config);
  EXPECT_EQ(config->currentProfile, 0x0041);
  EXPECT_FALSE(config->cutShort);
}

// Header and data bytes 0-15 of a physical format reply.
Bytes physicalFormat(uint8_t byte0, uint8_t byte2, uint32_t start, uint32_t end, uint32_t end0) {
  Bytes reply(4 + 2048, 0);
  reply[0] = 0x08;
  reply[1] = 0x02;
  reply[4] = byte0;
  reply[5] = 0x02;
  reply[6] = byte2;
  reply[7] = 0x10;
  putBe32(reply, 8, start);
  putBe32(reply, 12, end);
  putBe32(reply, 16, end0);
  return reply;
}

TEST(DvdPhysicalFormat, LayersTrackPathAndLayerBreak) {
  // DVD+R DL, opposite track path: layer 1 starts at ~22D7FFh and ends at FCFFFFh.
  auto pfi = parseDvdPhysicalFormat(physicalFormat(0xE1, 0x32, 0x030000, 0xFCFFFF, 0x22D7FF));
  ASSERT_TRUE(pfi);
  EXPECT_EQ(pfi->bookType, 0xE);
  EXPECT_EQ(pfi->partVersion, 1);
  EXPECT_EQ(pfi->discSize, 0);
  EXPECT_EQ(pfi->maximumRate, 2);
  EXPECT_EQ(pfi->layers, 2);
  EXPECT_TRUE(pfi->oppositeTrackPath);
  EXPECT_EQ(pfi->layerType, 2);
  EXPECT_EQ(pfi->startPsn, 0x030000u);
  EXPECT_EQ(pfi->endPsn, 0xFCFFFFu);
  EXPECT_EQ(pfi->endPsnLayer0, 0x22D7FFu);
  EXPECT_EQ(pfi->layerBreakLba(), 2'086'912);
  EXPECT_EQ(dvdBookTypeName(pfi->bookType), "DVD+R DL");

  // Parallel track path: the layer's own data area.
  pfi = parseDvdPhysicalFormat(physicalFormat(0x01, 0x21, 0x030000, 0x22D7FF, 0));
  ASSERT_TRUE(pfi);
  EXPECT_EQ(pfi->layers, 2);
  EXPECT_FALSE(pfi->oppositeTrackPath);
  EXPECT_EQ(pfi->layerBreakLba(), 2'086'912);

  // DVD-5: one layer, no break; the byte above the 24-bit PSN is not part of it.
  pfi = parseDvdPhysicalFormat(physicalFormat(0x01, 0x01, 0xFF030000, 0x26053F, 0));
  ASSERT_TRUE(pfi);
  EXPECT_EQ(pfi->layers, 1);
  EXPECT_EQ(pfi->startPsn, 0x030000u);
  EXPECT_EQ(pfi->layerBreakLba(), std::nullopt);
  EXPECT_EQ(dvdBookTypeName(0x5), "book type 5h");

  // An end of layer 0 before its start is no break.
  pfi = parseDvdPhysicalFormat(physicalFormat(0xE1, 0x32, 0x030000, 0xFCFFFF, 0x010000));
  EXPECT_EQ(pfi->layerBreakLba(), std::nullopt);
}

TEST(DvdPhysicalFormat, ShortRepliesHoldNone) {
  Bytes reply = physicalFormat(0xE1, 0x32, 0x030000, 0xFCFFFF, 0x22D7FF);
  reply[0] = 0;
  reply[1] = 2 + 15;  // one byte short of data byte 15
  EXPECT_FALSE(parseDvdPhysicalFormat(reply));
  reply[1] = 2 + 16;
  EXPECT_TRUE(parseDvdPhysicalFormat(reply));
  EXPECT_FALSE(parseDvdPhysicalFormat(std::span(reply).first(19))) << "the span ends first";
}

Bytes structureReply(size_t dataBytes) {
  Bytes reply(4 + dataBytes, 0);
  reply[0] = static_cast<uint8_t>((dataBytes + 2) >> 8);
  reply[1] = static_cast<uint8_t>(dataBytes + 2);
  return reply;
}

void putText(Bytes& b, size_t at, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) b[at + i] = static_cast<uint8_t>(text[i]);
}

TEST(RecordableDvdIds, PrePitManufacturer) {
  Bytes reply = structureReply(40);
  reply[4 + 16] = 3;
  putText(reply, 4 + 17, "KESTR ");
  reply[4 + 24] = 4;
  putText(reply, 4 + 25, "A08R");  // the last two bytes stay NUL
  EXPECT_EQ(parsePrePitMediaId(reply), (MediaIdReply{MediaIdStatus::Found, {"KESTR A08R", "", std::nullopt}}));

  reply[4 + 24] = 5;
  EXPECT_EQ(parsePrePitMediaId(reply).status, MediaIdStatus::Unrecognised) << "field 4 must follow field 3";
  reply[4 + 24] = 4;
  reply[1] = 2 + 30;  // stops before data byte 30
  EXPECT_EQ(parsePrePitMediaId(reply).status, MediaIdStatus::Short);
}

TEST(RecordableDvdIds, AdipManufacturerMediaTypeRevision) {
  Bytes reply = structureReply(256);
  reply[4] = 0xA1;  // DVD+R
  putText(reply, 4 + 19, "NOVADSC");
  putText(reply, 4 + 27, "D52");
  reply[4 + 30] = 0x1A;
  EXPECT_EQ(parseAdipMediaId(reply), (MediaIdReply{MediaIdStatus::Found, {"NOVADSC", "D52", 0x1A}}));
  reply[4] = 0x21;  // DVD-R: no ADIP
  EXPECT_EQ(parseAdipMediaId(reply).status, MediaIdStatus::Unrecognised);
  reply[4] = 0xE1;
  EXPECT_EQ(parseAdipMediaId(std::span(reply).first(34)).status, MediaIdStatus::Short);
  EXPECT_EQ(parseAdipMediaId(std::span(reply).first(35)).status, MediaIdStatus::Found);
}

// One disc information unit of 112 bytes at `at`.
void putDiUnit(Bytes& reply, size_t at, int layer, std::string_view type, int layers, uint32_t firstAun,
               uint32_t lastAun) {
  putText(reply, at, "DI");
  reply[at + 2] = 0x01;
  reply[at + 3] = static_cast<uint8_t>(0x08 | layer);
  reply[at + 6] = 0x70;
  putText(reply, at + 8, type);
  reply[at + 12] = static_cast<uint8_t>(layers << 4);
  putBe32(reply, at + 24, firstAun);
  putBe32(reply, at + 28, lastAun);
  putText(reply, at + 100, "QENTRA");
  putText(reply, at + 106, "BR4");
  reply[at + 111] = 0x03;
}

TEST(BdDiscInformation, UnitsLayersAndIdentification) {
  Bytes reply = structureReply(2 * 112);
  putDiUnit(reply, 4, 0, "BDR", 2, 0x00100000, 0x00CA73FE);
  putDiUnit(reply, 4 + 112, 1, "BDR", 2, 0x01358C00, 0x01F2FFFE);
  auto info = parseBdDiscInformation(reply);
  ASSERT_TRUE(info);
  ASSERT_EQ(info->units.size(), 2u);
  EXPECT_EQ(info->units[1].layer, 1);
  EXPECT_EQ(info->units[0].discType, "BDR");
  EXPECT_EQ(info->units[0].firstAun, 0x00100000u);
  EXPECT_EQ(info->units[0].lastAun, 0x00CA73FEu);
  EXPECT_EQ(info->layers(), 2);
  EXPECT_EQ(info->layer0Sectors(), 0xBA7400) << "12,219,392 sectors";
  EXPECT_EQ(info->mediaId(), (MediaIdReply{MediaIdStatus::Found, {"QENTRA", "BR4", 0x03}}));

  // A unit cut before its identification: the layers are there, the ID is not.
  reply[1] = 2 + 100;
  info = parseBdDiscInformation(reply);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->units.size(), 1u);
  EXPECT_EQ(info->layers(), 2);
  EXPECT_EQ(info->mediaId().status, MediaIdStatus::Short);

  // A pressed disc has no identification to read.
  reply = structureReply(112);
  putDiUnit(reply, 4, 0, "BDO", 1, 0x00100000, 0x00CA73FE);
  EXPECT_EQ(parseBdDiscInformation(reply)->mediaId().status, MediaIdStatus::Unrecognised);

  reply[5] = 'X';
  EXPECT_FALSE(parseBdDiscInformation(reply)) << "not a DI unit";
  reply[5] = 'I';
  EXPECT_FALSE(parseBdDiscInformation(std::span(reply).first(4 + 31))) << "a unit needs its first 32 bytes";
  EXPECT_TRUE(parseBdDiscInformation(std::span(reply).first(4 + 32)));
}

TEST(Performance, DescriptorsAndTheFastest) {
  Bytes reply(8 + 2 * 16 + 10, 0);
  putBe32(reply, 0, 4 + 2 * 16);
  putBe32(reply, 8, 0);
  putBe32(reply, 12, 9169);
  putBe32(reply, 16, 0x1FD7FF);
  putBe32(reply, 20, 22160);
  putBe32(reply, 24, 0x1FD800);
  putBe32(reply, 28, 22160);
  putBe32(reply, 32, 0x3FAFFF);
  putBe32(reply, 36, 9169);
  putBe32(reply, 40, 0x7FFFFFFF);  // past the reply's own length
  auto parsed = parsePerformance(reply);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->descriptors,
            (std::vector<PerformanceDescriptor>{{0, 9169, 0x1FD7FF, 22160}, {0x1FD800, 22160, 0x3FAFFF, 9169}}));
  EXPECT_EQ(maximumPerformanceKBps(*parsed), 22160u);

  reply[4] = 0x02;
  EXPECT_EQ(maximumPerformanceKBps(*parsePerformance(reply)), std::nullopt) << "write performance";
  reply[4] = 0;
  putBe32(reply, 0, 4 + 16 + 15);  // the second descriptor is one byte short
  EXPECT_EQ(parsePerformance(reply)->descriptors.size(), 1u);
  putBe32(reply, 0, 4);
  EXPECT_EQ(maximumPerformanceKBps(*parsePerformance(reply)), std::nullopt) << "no descriptor";
  EXPECT_FALSE(parsePerformance(std::span(reply).first(7)));
}

}  // namespace
}  // namespace tmx
