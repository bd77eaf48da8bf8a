// DVD and BD drives and discs described in the configuration file: what the
// keys build, and the mistakes refused by file and line.
#include <gtest/gtest.h>

#include "emulator/config.h"
#include "emulator/ground_truth.h"
#include "emulator/media_profiles.h"

namespace tmx::emu {
namespace {

std::variant<EmulatedConfig, std::string> parse(std::string_view text) { return parseEmulatedConfig(text, "m.json"); }

std::string errorOf(std::string_view text) {
  auto parsed = parse(text);
  return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "(accepted)";
}

TEST(EmulatedConfigMedia, DvdAndBdDrivesAndDiscs) {
  const auto parsed = parse(R"({ "drives": [
    { "target": 0,
      "drive": { "product": "DL WRITER", "profiles": "dvd-writer", "rotation": "zclv", "maxSpeed": 8,
                 "zones": [{ "fromLba": 0, "speed": 4 }, { "fromLba": 900000, "speed": 8 }],
                 "speeds": [2, 4], "layerJumpMs": 35, "serialNumber": "AB12" },
      "disc": { "medium": "dvd+r", "layers": 2, "trackPath": "otp", "layer0Sectors": 2000000,
                "mediaId": { "manufacturer": "ACMEDISC", "mediaType": "R02", "revision": 3 },
                "damage": [{ "start": 4000000, "length": 16, "unreadable": true }] } },
    { "target": 1, "preset": "cav8-bd50", "disc": { "medium": "bd-r", "layers": 1 } },
    { "target": 2, "preset": "cav16-dvdrom", "drive": { "streaming": false } }
  ] })");
  ASSERT_TRUE(std::holds_alternative<EmulatedConfig>(parsed)) << std::get<std::string>(parsed);
  VirtualClock clock;
  auto adapter = buildAdapter(std::get<EmulatedConfig>(parsed), clock);

  const DriveModel& dl = *adapter->drive(0);
  EXPECT_EQ(dl.profile().mmcProfiles, classProfiles(DriveClass::DvdWriter));
  EXPECT_TRUE(dl.profile().streaming) << "a DVD drive streams unless told otherwise";
  EXPECT_EQ(dl.profile().zones[1].fromLba, 900'000);
  EXPECT_EQ(dl.profile().layerJumpMs, 35);
  EXPECT_EQ(dl.profile().serialNumber, "AB12");
  const GroundTruth t(dl);
  EXPECT_EQ(t.family(), DiscFamily::Dvd);
  EXPECT_EQ(t.profile(), 0x002B);
  EXPECT_EQ(t.capacity(), kDvdDualLayerSectors) << "the nominal DVD+R DL";
  EXPECT_EQ(t.layerBreak(), 2'000'000);
  EXPECT_TRUE(t.oppositeTrackPath());
  EXPECT_EQ(dl.disc()->spec().mediaId->manufacturer, "ACMEDISC");
  EXPECT_EQ(dl.disc()->damageAt(4'000'000).unreadable, true);
  EXPECT_DOUBLE_EQ(t.speedXAt(2 * 2'000'000 - 900'000), 4) << "zones by radius on layer 1";

  const GroundTruth bd(*adapter->drive(1));
  EXPECT_EQ(bd.profile(), 0x0041);
  EXPECT_EQ(bd.layers(), 1);
  EXPECT_EQ(bd.capacity(), kBdSingleLayerSectors) << "one layer less, the nominal length with it";
  EXPECT_FALSE(adapter->drive(2)->profile().streaming);
}

TEST(EmulatedConfigMedia, MistakesNamedByFileAndLine) {
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"disc\": { \"medium\": \"dvd-rom\" } } ] }"),
            "m.json:2: drives/0/disc: the drive does not read a DVD (give it \"profiles\": \"dvd-rom\", "
            "\"dvd-writer\" or \"bd\")");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"cav16-dvdrom\",\n"
                    " \"disc\": { \"medium\": \"bd-rom\" } } ] }"),
            "m.json:2: drives/0/disc: the drive does not read a BD (give it \"profiles\": \"dvd-rom\", "
            "\"dvd-writer\" or \"bd\")");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"cav16-dvdrom\",\n"
                    " \"disc\": {\n \"minutes\": 60 } } ] }"),
            "m.json:3: drives/0/disc/minutes: a DVD or BD has no such field (one data track, in sectors)");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"cav8-bd50\",\n"
                    " \"disc\": { \"trackPath\": \"ptp\" } } ] }"),
            "m.json:2: drives/0/disc/trackPath: layer 1 of a BD always runs from the rim inwards");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"disc\": {\n \"layers\": 2 } } ] }"),
            "m.json:2: drives/0/disc/layers: a CD has no such field (one layer, ATIP)");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"cav16-dvdrom\",\n"
                    " \"disc\": { \"mediaId\": { \"manufacturer\": \"X\" } } } ] }"),
            "m.json:2: drives/0/disc/mediaId: only a recordable or rewritable disc carries a maker's ID");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"clv4-bdr\",\n"
                    " \"disc\": { \"mediaId\": {\n \"manufacturer\": \"SEVENCH\" } } } ] }"),
            "m.json:3: drives/0/disc/mediaId/manufacturer: longer than 6 characters");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"zclv8-dvdplusr-dl\",\n"
                    " \"disc\": { \"sectors\": 2000000 } } ] }"),
            "m.json:2: drives/0/disc: layer 0 must end before the disc does");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"cav16-dvdrom\",\n"
                    " \"disc\": { \"content\": \"audio\" } } ] }"),
            "m.json:2: drives/0/disc/content: a DVD or BD holds data");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"drive\": { \"profiles\": \"hd-dvd\" } } ] }"),
            "m.json:2: drives/0/drive/profiles: unknown value \"hd-dvd\" (expected none, cd-rom, cd-writer, "
            "dvd-rom, dvd-writer, bd)");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0, \"preset\": \"cav8-bd50\",\n"
                    " \"disc\": { \"sectors\": 24438785 } } ] }"),
            "m.json:2: drives/0/disc/sectors: value 24438785 out of range 300..24438784");
}

}  // namespace
}  // namespace tmx::emu
