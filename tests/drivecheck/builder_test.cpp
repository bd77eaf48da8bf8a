// The whole report on emulated drives: what each kind of drive and disc makes
// the drive check print, and the commands it sends.
#include <gtest/gtest.h>

#include "drivecheck/check_rigs.h"
#include "drivecheck/command_guard.h"

namespace tmx {
namespace {

TEST(DriveCheckReport, AtapiLikeDriveWithoutSixByteCommands) {
  DriveCheckRig rig;
  const auto lines = rig.preset("zclv48-cdr-ty");
  EXPECT_EQ(outcomeOf(lines, "Mode Sense 6"), "  Command not supported");
  EXPECT_EQ(outcomeOf(lines, "Mode Sense 10"), "ok");
  EXPECT_EQ(outcomeOf(lines, "Seek6"), "  Command not supported");
  EXPECT_EQ(outcomeOf(lines, "Seek10"), "ok");
  EXPECT_EQ(outcomeOf(lines, "Set CD Speed"), "ok");
  // The capabilities came from the 10-byte form.
  EXPECT_TRUE(has(lines, "Maximum read speed : 8448 KB/sec (48 X)"));
  EXPECT_TRUE(has(lines, "Buffer size                  : 2048 KB"));
  EXPECT_TRUE(has(lines, "Speed settings           : 4-8-16-24-32-40-48 X"));
  EXPECT_TRUE(has(lines, "Vendor                  : ZEPHIRIX"));
  EXPECT_TRUE(has(lines, "Product                 : ZX-4800 ATAPI   ")) << "trailing blanks kept";
  // The CD-R section.
  const auto cdr = std::find(lines.begin(), lines.end(), "CD-R(W) information");
  ASSERT_NE(cdr, lines.end());
  const std::vector<std::string> expected{"CD-R(W) information",
                                          "   Manufacturer   : Taiyo Yuden Co.",
                                          "   Media code      : 97m24s01f",
                                          "   Dye type          : 1",
                                          "   Disc Type        : CD-R (16 X compatible)",
                                          "   Capacity          : 79:59.74",
                                          ""};
  EXPECT_EQ(std::vector<std::string>(cdr, cdr + 7), expected);
  EXPECT_TRUE(has(lines, "Type         : data mode 1"));
  EXPECT_TRUE(has(lines, "Capacity   : 62:00.00 (279000 sectors)"));
}

TEST(DriveCheckReport, RewritableDiscsByLeadOut) {
  DriveCheckRig rig;
  auto p = emu::findPreset("cav40-cdrw");
  auto lines = rig.report(p->profile, p->disc);
  EXPECT_TRUE(has(lines, "   Manufacturer   : Ritek Co."));
  EXPECT_TRUE(has(lines, "   Disc Type        : CD-RW (4 X compatible)"));
  p->disc->atip->lastLeadOutStart = {74, 12, 0};
  p->disc->atip->a1 = 0;
  lines = rig.report(p->profile, p->disc);
  EXPECT_TRUE(has(lines, "   Manufacturer   : Ricoh Co."));
  EXPECT_TRUE(has(lines, "   Disc Type        : CD-RW")) << "no compatibility part for a speed class of 0";
  // A CD-R of another maker in the same drive.
  p->disc->medium = emu::Medium::Recordable;
  p->disc->atip->leadInStart = {97, 46, 15};
  lines = rig.report(p->profile, p->disc);
  EXPECT_TRUE(has(lines, "   Manufacturer   : Sony Co."));
  EXPECT_TRUE(has(lines, "   Dye type          : 5"));
}

TEST(DriveCheckReport, EmptyDrive) {
  DriveCheckRig rig;
  const auto lines = rig.preset("cav40-empty");
  const auto disc = std::find(lines.begin(), lines.end(), "Disc information");
  ASSERT_NE(disc, lines.end());
  EXPECT_EQ(*(disc + 2), "  No disc inserted");
  EXPECT_FALSE(anyStartsWith(lines, "Capacity   :"));
  EXPECT_FALSE(has(lines, "CD-R(W) information"));
  for (const char* read : {"Seek6", "Seek10", "Read CD", "Read10", "Read12", "Read CDDA"}) {
    EXPECT_EQ(outcomeOf(lines, read), "  No disc inserted") << read;
  }
  EXPECT_EQ(outcomeOf(lines, "Mode Sense 6"), "ok");
}

size_t countStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

// A command that timed out is not sent again, and after three timeouts
// nothing is: the report of a hung drive takes minutes, not half an hour,
// and every failure names its cause instead of "(code 000000)".
TEST(DriveCheckReport, AHangingDriveIsNotAskedAgainAndAgain) {
  DriveCheckRig rig;
  auto lines = rig.preset("cav52-audio74", {"hang@BB*all"});
  EXPECT_EQ(countStartingWith(lines, "Speed settings"), 0u);
  EXPECT_EQ(outcomeOf(lines, "Set CD Speed"), "Error: not sent, the drive did not answer this command before");
  EXPECT_LT(rig.driveSeconds, 60) << "before: 53 speeds of 30 s each, 27 minutes";

  lines = rig.preset("cav52-audio74", {"hang@43*all"});
  EXPECT_TRUE(has(lines, "Error reading TOC: Drive did not answer within 30 s")) << "before: (code 000000)";

  std::vector<std::string> everything;
  for (const char* op : {"00", "03", "12", "1A", "5A", "43", "25", "51", "BB", "0B", "2B", "BE", "28", "A8", "D8"}) {
    everything.push_back(std::string("hang@") + op + "*all");
  }
  lines = rig.preset("cav52-audio74", everything);
  EXPECT_EQ(countStartingWith(lines, "Error reading drive identification: Drive did not answer"), 1u);
  size_t timeouts = 0;
  for (const auto& line : lines) timeouts += line.find("Drive did not answer within") != std::string::npos;
  EXPECT_LE(timeouts, size_t{CommandGuard::kTimeoutsBeforeGivingUp});
  EXPECT_TRUE(has(lines, "Error reading TOC: not sent, the drive stopped answering"));
  EXPECT_EQ(outcomeOf(lines, "Read10"), "Error: not sent, the drive stopped answering");
  EXPECT_LT(rig.driveSeconds, 3 * 60);

  // A drive that answers again is asked again by the next report.
  lines = rig.preset("cav52-audio74");
  EXPECT_EQ(outcomeOf(lines, "Set CD Speed"), "ok");
}

void expectBlankDiscLines(const std::vector<std::string>& lines) {
  const auto type = std::find(lines.begin(), lines.end(), "Type         : blank");
  ASSERT_NE(type, lines.end()) << "before: data mode 1";
  ASSERT_GE(std::distance(type, lines.end()), 3);
  EXPECT_EQ(*(type + 1), "Tracks      : none recorded") << "before: 1 (1 data, 0 audio)";
  EXPECT_EQ(*(type + 2), "Capacity   : none, the disc is blank") << "before:  0:-2.00 (-150 sectors)";
}

// A blank disc answers READ TOC with its empty first track, or the drive
// refuses READ TOC on it: the report says blank either way, as the panel does.
TEST(DriveCheckReport, BlankDiscIsShownAsBlank) {
  DriveCheckRig rig;
  const auto lines = rig.preset("clv12-blank-cdr");
  expectBlankDiscLines(lines);
  EXPECT_TRUE(has(lines, "CD-R(W) information"));

  auto blank = *emu::findPreset("clv12-blank-cdr");
  blank.profile.rejectedOpcodes.set(0x43);
  const auto refused = rig.report(blank.profile, blank.disc);
  expectBlankDiscLines(refused);
  EXPECT_FALSE(has(refused, "  Command not supported")) << "no TOC is what a blank disc has";

  // A refused TOC on a recorded disc stays the drive's error.
  auto pressed = *emu::findPreset("clv16-data74");
  pressed.profile.rejectedOpcodes.set(0x43);
  const auto recorded = rig.report(pressed.profile, pressed.disc);
  EXPECT_TRUE(has(recorded, "  Command not supported"));
  EXPECT_FALSE(has(recorded, "Type         : blank"));
}

TEST(DriveCheckReport, DiscKinds) {
  DriveCheckRig rig;
  emu::DriveProfile profile;
  emu::DiscSpec audio;
  audio.content = emu::DiscContent::Audio;
  audio.tracks = 12;
  auto lines = rig.report(profile, audio);
  EXPECT_TRUE(has(lines, "Type         : audio"));
  EXPECT_TRUE(has(lines, "Tracks      : 12 (0 data, 12 audio)"));
  EXPECT_TRUE(has(lines, "Capacity   : 74:00.00 (333000 sectors)"));
  EXPECT_EQ(outcomeOf(lines, "Read10"), "  Command can not be used for this type of disc");
  EXPECT_FALSE(has(lines, "CD-R(W) information")) << "a pressed disc has no ATIP";

  emu::DiscSpec mixed = audio;
  mixed.content = emu::DiscContent::Mixed;
  mixed.tracks = 11;
  lines = rig.report(profile, mixed);
  EXPECT_TRUE(has(lines, "Type         : mixed mode 1"));
  EXPECT_TRUE(has(lines, "Tracks      : 11 (1 data, 10 audio)"));

  emu::DiscSpec data = audio;
  data.content = emu::DiscContent::Data;
  lines = rig.report(profile, data);
  EXPECT_TRUE(has(lines, "Type         : data mode 1"));
  EXPECT_TRUE(has(lines, "Tracks      : 1 (1 data, 0 audio)"));
}

TEST(DriveCheckReport, UnknownMaximumSpeedProbesOnlyZero) {
  DriveCheckRig rig;
  emu::DriveProfile profile;
  profile.maxSpeedX = 0;
  const auto lines = rig.report(profile, std::nullopt);
  EXPECT_TRUE(has(lines, "Maximum read speed : unknown"));
  // The probe ran for 0 X only, which this drive reports back as its speed.
  EXPECT_TRUE(has(lines, "Speed settings           : 0 X"));
}

TEST(DriveCheckReport, SectionsInOrderAndWidthKeptAcrossDrives) {
  DriveCheckRig rig;
  const auto first = rig.preset("cav52-audio74");
  std::vector<std::string> titles;
  for (size_t i = 1; i + 1 < first.size(); ++i) {
    if (first[i - 1].starts_with("---") && first[i + 1].starts_with("---")) titles.push_back(first[i]);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"General information", "Drive information", "Disc information",
                                              "Supported commands"}));
  // The emulated adapter speaks for itself in the general section.
  ASSERT_GE(first.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(first.begin() + 4, first.begin() + 12),
            (std::vector<std::string>{"ASPI manager     : Tachometrix emulated adapter V" + programVersion(), "",
                                      "Host adapter   : Tachometrix emulated MMC host adapter",
                                      "Driver              : tmx-emulator (built-in)",
                                      "   Description        : Emulated MMC CD-ROM drives",
                                      "   Company           : Tachometrix", "   Version              : " + programVersion(),
                                      ""}));
  const size_t widest = rig.widest;
  size_t longest = 0;
  for (const auto& l : first) {
    if (!l.starts_with('-')) longest = std::max(longest, l.size());
  }
  EXPECT_EQ(widest, longest);
  rig.preset("cav40-empty");
  EXPECT_GE(rig.widest, widest);
}

// A drive whose capabilities page stops before the buffer size: the report
// says it could not read the capabilities rather than print fields it was
// never sent.
TEST(DriveCheckReport, CapabilitiesPageCutShortIsNotPrinted) {
  ScriptedDriveRig rig([](const ScsiCommand& c, std::span<uint8_t> data) {
    if (c.cdb[0] == 0x12) {
      testing::fill(data, testing::inquiryReply(0x05, "VENDOR", "PRODUCT", "1.0"));
    } else if (c.cdb[0] == 0x1A && c.cdb[2] == 0x2A) {
      // Header, then page 2Ah through its maximum speed (bytes 0-9).
      testing::fill(data, {4 - 1 + 10, 0, 0, 0, 0x2A, 0x18, 0x03, 0, 0, 0x13, 0, 0, 0x1B, 0x80});
    } else if (c.cdb[0] == 0x1A || c.cdb[0] == 0x5A) {
      testing::fill(data, {4 - 1 + 8, 0, 0, 0, 0x01, 0x06, 0, 0x05, 0, 0, 0, 0});
    }
    return testing::good();
  });
  addDriveSection(rig.commands, DriveAddress{0, 0}, rig.report);
  const auto& lines = rig.report.lines();
  EXPECT_TRUE(has(lines, "Unable to retrieve CD capabilities (code 000000)"));
  EXPECT_FALSE(anyStartsWith(lines, "Buffer size"));
  EXPECT_FALSE(anyStartsWith(lines, "Speed settings")) << "no maximum known, no probe";
  std::vector<std::vector<uint8_t>> modeSense;
  for (const auto& c : rig.sent) {
    if (c.cdb[0] == 0x1A || c.cdb[0] == 0x5A) modeSense.push_back(c.cdb);
  }
  // Room for the header and a block descriptor beside the page; the 6-byte
  // form answered, so the capabilities were asked with it.
  EXPECT_EQ(modeSense, (std::vector<std::vector<uint8_t>>{{0x1A, 0, 0x01, 0, 20, 0},
                                                          {0x5A, 0, 0x01, 0, 0, 0, 0, 0, 24, 0},
                                                          {0x1A, 0, 0x2A, 0, 42, 0}}));
}

// A drive that reads READ TOC's format only from byte 2, as some SCSI drives
// do: the older placement gets the track table back.
TEST(DriveCheckReport, FullTocAskedAgainTheMmcWayWhenTheFirstReplyIsATrackTable) {
  ScriptedDriveRig rig([](const ScsiCommand& c, std::span<uint8_t> data) {
    if (c.cdb[0] != 0x43) return testing::checkCondition(0x05, 0x20, 0x00);
    const int format = c.cdb[2] & 0x0F;
    if (format == 2) {
      testing::fill(data, {0, 2 + 11, 1, 1, 1, 0x14, 0, 0xA0, 0, 0, 0, 0, 1, 0x20, 0});
    } else {
      testing::fill(data, {0, 18, 1, 1, 0, 0x14, 1, 0, 0, 0, 0, 0, 0, 0x14, 0xAA, 0, 0, 0, 0x01, 0xE6});
    }
    return testing::good();
  });
  addDiscSection(rig.commands, DriveAddress{0, 0}, rig.report);
  EXPECT_TRUE(has(rig.report.lines(), "Type         : data mode 2"));
  EXPECT_TRUE(has(rig.report.lines(), "Tracks      : 1 (1 data, 0 audio)"));
  std::vector<std::vector<uint8_t>> tocs;
  for (const auto& s : rig.sent) {
    if (s.cdb[0] == 0x43 && s.cdb[2] != 4) tocs.push_back(s.cdb);
  }
  ASSERT_EQ(tocs.size(), 3u);
  EXPECT_EQ(tocs[1][9], 0x80) << "the full TOC first in the older placement";
  EXPECT_EQ(tocs[2][2], 0x02) << "then with the format in byte 2";
}

}  // namespace
}  // namespace tmx
