// The drive check of DVD and BD drives: profiles, read features, speeds in
// the medium's X, the disc's length and layers and who made it; and the
// drives that answer badly, or not at all, to the commands behind them.
#include <gtest/gtest.h>

#include "drive/configuration_replies.h"
#include "drivecheck/check_rigs.h"
#include "drivecheck/command_guard.h"
#include "drivecheck/medium_lines.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

// The lines from `first` on, as many as `expected` holds.
void expectBlock(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  const auto at = std::find(lines.begin(), lines.end(), expected.front());
  ASSERT_NE(at, lines.end()) << expected.front();
  ASSERT_GE(static_cast<size_t>(lines.end() - at), expected.size());
  EXPECT_EQ(std::vector<std::string>(at, at + static_cast<std::ptrdiff_t>(expected.size())), expected);
}

TEST(DvdBdDriveCheck, DvdRomDriveInItsOwnUnits) {
  DriveCheckRig rig;
  const auto lines = rig.preset("cav16-dvdrom");
  EXPECT_TRUE(has(lines, "Maximum read speed : 22160 KB/sec (16 X DVD)"));
  EXPECT_TRUE(has(lines, "Speed settings           : 2-4-8-12-16 X DVD"));
  expectBlock(lines, {"Current profile      : DVD-ROM", "Profiles (CD)        : CD-ROM",
                      "Profiles (DVD)       : DVD-ROM", "Read CD              : yes (C2 error flags)",
                      "Read DVD             : yes", "Read BD              : no", "Real-time streaming  : yes",
                      "Serial number        : SV16D0482917",
                      "Read performance     : 6.62-16.00 X DVD (9170-22160 KB/sec)", ""});
  expectBlock(lines, {"Type         : DVD-ROM", "Tracks      : 1 (1 data, 0 audio)",
                      "Capacity   : 4.70 GB (2295104 sectors)", "Layers     : 1",
                      "Book type  : DVD-ROM, part version 1", ""});
  EXPECT_FALSE(has(lines, "CD-R(W) information"));
  for (const char* cd : {"Read CD", "Read CDDA"}) EXPECT_EQ(outcomeOf(lines, cd), "  Not sent to a DVD or BD") << cd;
  for (const char* mmc : {"Get Configuration", "Read Disc Structure", "Get Performance", "Set Streaming"}) {
    EXPECT_EQ(outcomeOf(lines, mmc), "ok") << mmc;
  }
}

TEST(DvdBdDriveCheck, RecordableMediaIdentified) {
  DriveCheckRig rig;
  auto lines = rig.preset("zclv8-dvdplusr-dl");
  expectBlock(lines, {"Capacity   : 8.55 GB (4173824 sectors)",
                      "Layers     : 2, opposite track path, layer 1 from LBA 2086912",
                      "Book type  : DVD+R DL, part version 1", "", "DVD+R(W) information",
                      "   Manufacturer ID  : NOVADISC", "   Media type ID    : D52", "   Product revision : 1", ""});
  EXPECT_TRUE(has(lines, "Speed settings           : 2-4-6-8 X DVD"));
  EXPECT_TRUE(has(lines, "Read DVD             : yes (dual-layer DVD-R)"));

  lines = rig.preset("pcav12-dvd-r");
  expectBlock(lines, {"DVD-R(W) information", "   Manufacturer ID  : VARENTI DR08", ""});

  lines = rig.preset("clv4-bdr");
  expectBlock(lines, {"Disc type  : BD-R (BDR)", "", "BD-R(E) information", "   Manufacturer ID  : QENTRA",
                      "   Media type ID    : BR4", "   Product revision : 1", ""});
  EXPECT_TRUE(has(lines, "Maximum read speed : 17982 KB/sec (4 X BD)"));
  EXPECT_TRUE(has(lines, "Read performance     : 4.00 X BD (17982 KB/sec)"));

  lines = rig.preset("cav8-bd50");
  EXPECT_TRUE(has(lines, "Profiles (BD)        : BD-ROM, BD-R, BD-RE"));
  EXPECT_TRUE(has(lines, "Read BD              : yes (BD-ROM, BD-R, BD-RE)"));
  EXPECT_TRUE(has(lines, "Layers     : 2, opposite track path, layer 1 from LBA 12219392"));
  EXPECT_TRUE(has(lines, "Disc type  : BD-ROM (BDO)"));
  EXPECT_FALSE(has(lines, "BD-R(E) information")) << "a pressed disc names no maker";
}

TEST(DvdBdDriveCheck, CdDrivesWithoutGetConfigurationGetNoneOfIt) {
  DriveCheckRig rig;
  for (const char* cd : {"cav52-audio74", "clv16-data74", "pcav32-audio80", "clv12-blank-cdr"}) {
    const auto lines = rig.preset(cd);
    for (const char* label : {"Current profile", "Profiles", "Read DVD", "Read BD", "Real-time", "Read performance",
                              "Layers", "Get Configuration", "Set Streaming"}) {
      EXPECT_FALSE(anyStartsWith(lines, label)) << cd << ": " << label;
    }
  }
}

// A DVD drive that hangs on GET CONFIGURATION is asked once and checked as a
// CD drive; one that hangs on READ DISC STRUCTURE still gets its profile.
TEST(DvdBdDriveCheck, HangingOnTheMediumCommands) {
  DriveCheckRig rig;
  auto lines = rig.preset("cav16-dvdrom", {"hang@46*all"});
  EXPECT_FALSE(anyStartsWith(lines, "Current profile"));
  EXPECT_TRUE(has(lines, "Type         : data")) << "the CD path: a DVD has no full TOC";
  EXPECT_EQ(outcomeOf(lines, "Read CD"), "  Command can not be used for this type of disc");
  EXPECT_LT(rig.driveSeconds, 60) << "one timeout of 30 s, not one a section";

  lines = rig.preset("zclv8-dvdplusr-dl", {"hang@AD*all"});
  EXPECT_TRUE(has(lines, "Current profile      : DVD+R DL"));
  EXPECT_TRUE(has(lines, "Layers     : 1")) << "the structure unknown: one layer";
  EXPECT_TRUE(has(lines, "Error reading the physical format: not sent, the drive did not answer this command before"));
  EXPECT_EQ(outcomeOf(lines, "Read Disc Structure"), "Error: not sent, the drive did not answer this command before");
}

Bytes structureReply(std::initializer_list<std::pair<size_t, uint8_t>> bytes, size_t claimed) {
  Bytes r(4 + 2048, 0);
  r[0] = static_cast<uint8_t>((claimed + 2) >> 8);
  r[1] = static_cast<uint8_t>(claimed + 2);
  for (const auto& [at, v] : bytes) r[at] = v;
  return r;
}

// A DVD+R drive whose ADIP stops short, and a DVD-R whose pre-pits are not
// pre-pit fields: the report says so instead of printing bytes never sent.
TEST(DvdBdDriveCheck, ShortAndUnrecognisedIdentification) {
  for (const uint16_t profile : {0x001B, 0x0011}) {
    ScriptedDriveRig rig([profile](const ScsiCommand& c, std::span<uint8_t> data) {
      switch (c.cdb[0]) {
        case 0x46: testing::fill(data, {0, 0, 0, 4, 0, 0, static_cast<uint8_t>(profile >> 8), uint8_t(profile)}); break;
        case 0x25: testing::fill(data, {0, 0x23, 0x05, 0x3F, 0, 0, 8, 0}); break;
        case 0x43: testing::fill(data, {0, 18, 1, 1, 0, 0x14, 1, 0, 0, 0, 0, 0, 0, 0x14, 0xAA, 0, 0, 0x23, 0x05, 0x40});
          break;
        case 0xAD:
          if (c.cdb[7] == 0x00) testing::fill(data, structureReply({{4, 0xA1}, {6, 0x02}}, 2048));
          if (c.cdb[7] == 0x11) testing::fill(data, structureReply({{4, 0xA1}}, 20));   // stops at data byte 19
          if (c.cdb[7] == 0x0E) testing::fill(data, structureReply({{4 + 16, 7}}, 40));  // field 3 missing
          break;
        default: return testing::checkCondition(5, 0x20, 0);
      }
      return testing::good();
    });
    addDiscSection(rig.commands, DriveAddress{0, 0}, rig.report);
    const auto& lines = rig.report.lines();
    EXPECT_TRUE(has(lines, "Capacity   : 4.70 GB (2295104 sectors)")) << profile;
    EXPECT_TRUE(has(lines, profile == 0x001B ? "   Manufacturer ID  : the reply stops short of it"
                                             : "   Manufacturer ID  : not in the reply (unknown structure)"))
        << profile;
    EXPECT_TRUE(has(lines, "Book type  : DVD+R, part version 1"));
  }
}

TEST(DvdBdDriveCheck, ProfilesTheProgramDoesNotKnowAndAReplyCutShort) {
  DriveConfiguration config;
  config.currentProfile = 0x0050;
  config.profiles = {{0x0050, true}, {0x0014, false}, {0x0013, false}, {0x0008, false}};
  config.cutShort = true;
  size_t widest = 0;
  DriveCheckReport report(widest);
  addConfigurationLines(config, report);
  EXPECT_EQ(report.lines(), (std::vector<std::string>{"Current profile      : Profile 0050h",
                                                      "Profiles (CD)        : CD-ROM",
                                                      "Profiles (DVD)       : DVD-RW",
                                                      "Profiles (other)     : Profile 0050h",
                                                      "Read CD              : no", "Read DVD             : no",
                                                      "Read BD              : no", "Real-time streaming  : no",
                                                      "Features             : the reply stops short, later ones unknown"}));
}

}  // namespace
}  // namespace tmx
