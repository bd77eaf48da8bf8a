// The emulated DVD and BD drives as the host sees them, read with the drive
// layer's own parsers: what each preset reports agrees with its model, and
// CD-only commands fail as real drives fail them.
#include <gtest/gtest.h>

#include "drive/cdb_builders.h"
#include "drive/configuration_replies.h"
#include "drive/disc_structure_replies.h"
#include "drive/performance_replies.h"
#include "drive/reply_parsers.h"
#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;
using Bytes = std::vector<uint8_t>;

Bytes cdb(const CdbRequest& r) { return Bytes(r.bytes.begin(), r.bytes.begin() + 12); }

constexpr uint8_t kDvdRom = 8, kDvdPlusRDl = 9, kDvdMinusR = 10, kBdRom = 11, kBdR = 12;

class MmcDrives : public ::testing::Test {
 protected:
  VirtualClock clock;
  std::unique_ptr<EmulatedAdapter> adapter = makePresetAdapter(clock);

  testing::Sent send(uint8_t target, const CdbRequest& r, DataDirection dir = DataDirection::In, Bytes out = {}) {
    return sendCdb(*adapter, target, cdb(r), r.transferLength, dir, std::move(out));
  }
  std::optional<DriveConfiguration> configuration(uint8_t target, FeatureRequest rt = FeatureRequest::All,
                                                  uint16_t start = 0) {
    const auto s = send(target, getConfigurationCdb(rt, start, 2048));
    return s.good() ? parseConfiguration(s.data) : std::nullopt;
  }
  Bytes structure(uint8_t target, uint8_t media, uint8_t format, uint8_t layer = 0) {
    const auto s = send(target, readDiscStructureCdb(media, 0, layer, format, 4100));
    EXPECT_TRUE(s.good()) << int{target} << " format " << int{format};
    return s.data;
  }
  GroundTruth truth(uint8_t target) { return GroundTruth(*adapter->drive(target)); }
};

TEST_F(MmcDrives, ProfilesAndReadFeaturesOfEachDrive) {
  const auto dvd = configuration(kDvdRom);
  ASSERT_TRUE(dvd);
  EXPECT_EQ(dvd->currentProfile, 0x0010);
  EXPECT_EQ(dvd->profiles, (std::vector<ProfileEntry>{{0x0010, true}, {0x0008, false}}));
  ASSERT_TRUE(dvd->dvdRead);
  EXPECT_TRUE(dvd->dvdRead->flags.current);
  EXPECT_FALSE(dvd->cdRead->flags.current);
  EXPECT_FALSE(dvd->bdRead);
  EXPECT_TRUE(dvd->realTimeStreaming);
  EXPECT_EQ(dvd->serialNumber, "SV16D0482917");
  EXPECT_FALSE(dvd->cutShort);

  EXPECT_EQ(configuration(kDvdPlusRDl)->currentProfile, 0x002B);
  EXPECT_EQ(configuration(kDvdMinusR)->currentProfile, 0x0011);
  EXPECT_TRUE(configuration(kDvdMinusR)->dvdRead->dualLayerR);
  const auto bd = configuration(kBdR);
  EXPECT_EQ(bd->currentProfile, 0x0041);
  ASSERT_TRUE(bd->bdRead);
  EXPECT_TRUE(bd->bdRead->flags.current);
  EXPECT_NE(bd->bdRead->readOnly[0], 0);
  EXPECT_EQ(configuration(kBdRom)->currentProfile, 0x0040);
  EXPECT_EQ(bd->profiles.front(), (ProfileEntry{0x0043, false})) << "highest first";

  // One feature, the current ones, and the empty drive's current profile 0.
  const auto one = configuration(kBdR, FeatureRequest::One, kFeatureDvdRead);
  EXPECT_TRUE(one->profiles.empty());
  EXPECT_TRUE(one->dvdRead);
  EXPECT_FALSE(one->bdRead);
  const auto current = configuration(kDvdRom, FeatureRequest::Current);
  EXPECT_TRUE(current->dvdRead);
  EXPECT_FALSE(current->cdRead) << "not current with a DVD in";
  adapter->drive(kDvdRom)->removeDisc();
  EXPECT_EQ(configuration(kDvdRom)->currentProfile, 0);
  EXPECT_FALSE(configuration(kDvdRom)->profiles.front().current);
}

TEST_F(MmcDrives, PhysicalFormatAgreesWithTheModel) {
  for (uint8_t t : {kDvdRom, kDvdPlusRDl, kDvdMinusR}) {
    const auto pfi = parseDvdPhysicalFormat(structure(t, kStructureMediaDvd, kStructurePhysical));
    ASSERT_TRUE(pfi) << int{t};
    const GroundTruth g = truth(t);
    EXPECT_EQ(pfi->layers, g.layers()) << int{t};
    EXPECT_EQ(pfi->startPsn, kDvdFirstDataPsn);
    if (g.layers() == 1) {
      EXPECT_EQ(int64_t{pfi->endPsn} - pfi->startPsn + 1, g.capacity());
      EXPECT_FALSE(pfi->layerBreakLba());
    } else {
      EXPECT_EQ(pfi->oppositeTrackPath, g.oppositeTrackPath());
      EXPECT_EQ(pfi->layerBreakLba(), g.layerBreak());
      // Layer 1's PSNs are layer 0's inverted; together they hold the capacity.
      const int64_t layer1 = int64_t{pfi->endPsn} - ((~pfi->endPsnLayer0) & 0xFFFFFF) + 1;
      EXPECT_EQ(*pfi->layerBreakLba() + layer1, g.capacity());
    }
  }
  EXPECT_EQ(dvdBookTypeName(parseDvdPhysicalFormat(structure(kDvdPlusRDl, 0, 0))->bookType), "DVD+R DL");
  EXPECT_EQ(dvdBookTypeName(parseDvdPhysicalFormat(structure(kDvdMinusR, 0, 0))->bookType), "DVD-R");
  EXPECT_EQ(dvdBookTypeName(parseDvdPhysicalFormat(structure(kDvdRom, 0, 0))->bookType), "DVD-ROM");
}

TEST_F(MmcDrives, MediaIdentificationOfTheRecordableDiscs) {
  EXPECT_EQ(parsePrePitMediaId(structure(kDvdMinusR, 0, kStructurePrePit)),
            (MediaIdReply{MediaIdStatus::Found, {"VARENTI DR08", "", std::nullopt}}));
  EXPECT_EQ(parseAdipMediaId(structure(kDvdPlusRDl, 0, kStructureAdip)),
            (MediaIdReply{MediaIdStatus::Found, {"NOVADISC", "D52", 1}}));
  const auto bdr = parseBdDiscInformation(structure(kBdR, kStructureMediaBd, kStructurePhysical));
  ASSERT_TRUE(bdr);
  EXPECT_EQ(bdr->layers(), 1);
  EXPECT_EQ(bdr->mediaId(), (MediaIdReply{MediaIdStatus::Found, {"QENTRA", "BR4", 1}}));
  const auto bd50 = parseBdDiscInformation(structure(kBdRom, kStructureMediaBd, kStructurePhysical));
  ASSERT_TRUE(bd50);
  EXPECT_EQ(bd50->layers(), 2);
  EXPECT_EQ(bd50->units.size(), 2u);
  EXPECT_EQ(bd50->layer0Sectors(), truth(kBdRom).layerBreak());
  EXPECT_EQ(bd50->mediaId().status, MediaIdStatus::Unrecognised) << "a BD-ROM carries no maker ID";
}

TEST_F(MmcDrives, StructuresTheDiscDoesNotHave) {
  const auto code = [&](uint8_t t, uint8_t media, uint8_t format, uint8_t layer = 0) {
    return send(t, readDiscStructureCdb(media, 0, layer, format, 2052)).senseCode();
  };
  EXPECT_EQ(code(kDvdRom, 0, kStructurePrePit), 0x052400u) << "a pressed DVD has no pre-pits";
  EXPECT_EQ(code(kDvdMinusR, 0, kStructureAdip), 0x052400u) << "a DVD-R has no ADIP";
  EXPECT_EQ(code(kDvdPlusRDl, 0, kStructurePhysical, 2), 0x052400u) << "no third layer";
  EXPECT_EQ(code(kDvdRom, kStructureMediaBd, 0), 0x053002u) << "a DVD asked as a BD";
  EXPECT_EQ(code(kBdRom, kStructureMediaDvd, 0), 0x053002u);
  EXPECT_EQ(code(kBdRom, 1, 0x0E), 0x052400u);
  // A CD in a DVD drive: incompatible format; a CD drive does not know the command.
  adapter->drive(kDvdRom)->insertDisc(testing::discOf(DiscContent::Data));
  sendCdb(*adapter, kDvdRom, {0x00, 0, 0, 0, 0, 0}, 0);  // takes the unit attention
  EXPECT_EQ(code(kDvdRom, 0, 0), 0x053002u);
  EXPECT_EQ(configuration(kDvdRom)->currentProfile, 0x0008);
  EXPECT_EQ(code(0, 0, 0), 0x052000u);

  // The structure list names what the disc has.
  const Bytes list = structure(kDvdMinusR, 0, 0xFF);
  EXPECT_EQ(Bytes(list.begin() + 4, list.begin() + 12), (Bytes{0x00, 0x40, 0x08, 0x04, 0x0E, 0x40, 0x00, 44}));
}

TEST_F(MmcDrives, CdOnlyCommandsFailOnDvdAndBd) {
  for (uint8_t t : {kDvdRom, kBdRom}) {
    EXPECT_EQ(sendCdb(*adapter, t, testing::readCd(0, 1, 0xF8), 2352).senseCode(), 0x056400u) << int{t};
    EXPECT_EQ(sendCdb(*adapter, t, testing::readCdda(0, 1), 2352).senseCode(), 0x052000u) << "no vendor CD-DA read";
    const auto raw = testing::modeSelect10List(0x00, 2352);
    EXPECT_EQ(sendCdb(*adapter, t, {0x55, 0x10, 0, 0, 0, 0, 0, 0, uint8_t(raw.size()), 0}, raw.size(),
                      DataDirection::Out, raw)
                  .senseCode(),
              0x052600u);
    EXPECT_EQ(sendCdb(*adapter, t, {0x43, 0, 2, 0, 0, 0, 0, 0x0B, 0xB8, 0}, 3000).senseCode(), 0x052400u)
        << "no full TOC";
    // One data track and the lead-out at the capacity.
    const auto toc = sendCdb(*adapter, t, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, 804);
    EXPECT_EQ(tocTrackCounts(toc.data).data, 1);
    EXPECT_EQ(readBe32(toc.data, 16), static_cast<uint32_t>(truth(t).capacity()));
  }
  // A drive without the vendor read still refuses READ CD-DA on a DVD.
  DriveProfile p = adapter->drive(kDvdRom)->profile();
  p.rejectedOpcodes.reset(0xD8);
  adapter->attachDrive(13, p, adapter->drive(kDvdRom)->disc()->spec());
  EXPECT_EQ(sendCdb(*adapter, 13, testing::readCdda(0, 1), 2352).senseCode(), 0x056400u);
}

TEST_F(MmcDrives, LargeDiscsReadToTheirLastSector) {
  const int32_t end = truth(kBdRom).capacity();
  EXPECT_EQ(end, 24'438'784);
  const auto capacity = send(kBdRom, readCapacityCdb());
  EXPECT_EQ(capacityFromReply(capacity.data), end);
  const auto last = send(kBdRom, read12WideCdb(static_cast<uint32_t>(end - 1), 1));
  ASSERT_TRUE(last.good());
  EXPECT_EQ(readBe32(last.data, 0), static_cast<uint32_t>(end - 1)) << "each sector starts with its LBA";
  EXPECT_EQ(send(kBdRom, read12WideCdb(static_cast<uint32_t>(end), 1)).senseCode(), 0x052100u);
  EXPECT_TRUE(send(kBdRom, read10WideCdb(0x01000000, 32)).good()) << "past 24 bits, a whole BD cluster";
}

TEST_F(MmcDrives, PerformanceAndStreamingInTheMediumsX) {
  for (uint8_t t : {kDvdRom, kDvdPlusRDl, kDvdMinusR, kBdRom, kBdR}) {
    const auto s = send(t, getPerformanceCdb(0, 16));
    ASSERT_TRUE(s.good()) << int{t};
    const auto parsed = parsePerformance(s.data);
    ASSERT_TRUE(parsed);
    const double perX = t >= kBdRom ? 4495.5 : 1385.0;
    EXPECT_NEAR(*maximumPerformanceKBps(*parsed) / perX, truth(t).fastestSpeedX(), 0.001) << int{t};
    // The descriptors cover the disc, in order.
    EXPECT_EQ(parsed->descriptors.front().startLba, 0u);
    EXPECT_EQ(parsed->descriptors.back().endLba, static_cast<uint32_t>(truth(t).capacity() - 1));
  }
  // Z-CLV over an opposite track path: 4, 6, 8X out over layer 0, 8, 6, 4X back.
  const auto zclv = parsePerformance(send(kDvdPlusRDl, getPerformanceCdb(0, 16)).data);
  std::vector<uint32_t> flat;
  for (const auto& d : zclv->descriptors) {
    EXPECT_EQ(d.startKBps, d.endKBps);
    flat.push_back(d.startKBps / 1385);
  }
  EXPECT_EQ(flat, (std::vector<uint32_t>{4, 6, 8, 8, 6, 4}));

  // SET STREAMING at 4X: the drive's step, in the page and the performance.
  const auto set = send(kDvdRom, setStreamingCdb(), DataDirection::Out, streamingPerformanceList(0, 4 * 1385));
  ASSERT_TRUE(set.good());
  EXPECT_DOUBLE_EQ(adapter->drive(kDvdRom)->speedLimitX(), 4);
  const auto page = sendCdb(*adapter, kDvdRom, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 30, 0}, 30);
  EXPECT_EQ(parseCdCapabilities(page.data).currentSpeed, 4 * 1385);
  EXPECT_EQ(parseCdCapabilities(page.data).maximumSpeed, 16 * 1385);
  const auto slowed = parsePerformance(send(kDvdRom, getPerformanceCdb(0, 16)).data);
  EXPECT_EQ(maximumPerformanceKBps(*slowed), 4u * 1385) << "the speed in effect";

  Bytes list = streamingPerformanceList(0, 0xFFFFFFFF);
  EXPECT_TRUE(send(kDvdRom, setStreamingCdb(), DataDirection::Out, list).good());
  EXPECT_DOUBLE_EQ(adapter->drive(kDvdRom)->speedLimitX(), 16);
  list[16] = list[17] = list[18] = list[19] = 0;
  EXPECT_EQ(send(kDvdRom, setStreamingCdb(), DataDirection::Out, list).senseCode(), 0x052600u) << "no read time";
  list.resize(20);
  EXPECT_EQ(sendCdb(*adapter, kDvdRom, cdb(setStreamingCdb()), 20, DataDirection::Out, list).senseCode(), 0x051A00u);
}

TEST_F(MmcDrives, CdDrivesWithoutTheDvdCommands) {
  for (const CdbRequest& r : {readDiscStructureCdb(0, 0, 0, 0, 2052), getPerformanceCdb(0, 1), setStreamingCdb()}) {
    EXPECT_EQ(send(1, r, r.bytes[0] == 0xB6 ? DataDirection::Out : DataDirection::In,
                   r.bytes[0] == 0xB6 ? streamingPerformanceList(0, 1000) : Bytes{})
                  .senseCode(),
              0x052000u)
        << int{r.bytes[0]};
  }
  EXPECT_EQ(send(1, getConfigurationCdb(FeatureRequest::All, 0, 8)).senseCode(), 0x052000u)
      << "a CD drive before MMC-3";
}

}  // namespace
}  // namespace tmx::emu
