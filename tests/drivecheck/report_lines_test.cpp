// Lines, error lines and the aligned log of the drive check.
#include <gtest/gtest.h>

#include "drivecheck/report_lines.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

TEST(DriveCheckLines, ErrorLinesBySenseCode) {
  EXPECT_EQ(errorLineText("Error reading TOC", 0x052000), "  Command not supported");
  for (uint32_t code : {0x023A00u, 0x023A01u, 0x023A02u}) EXPECT_EQ(errorLineText("Error", code), "  No disc inserted");
  EXPECT_EQ(errorLineText("Error", 0x023A03), "Error (code 023A03)");
  EXPECT_EQ(errorLineText("Error", 0x056400), "  Command can not be used for this type of disc");
  EXPECT_EQ(errorLineText("Error reading capacity", 0x031100), "Error reading capacity (code 031100)");
  EXPECT_EQ(errorLineText("x", 0), "x (code 000000)");
  // The key is compared by its low four bits; the flag bits do not hide it.
  EXPECT_EQ(errorLineText("Error", 0x252000), "  Command not supported");
  EXPECT_EQ(errorLineText("Error", 0x823A00), "  No disc inserted");
}

TEST(DriveCheckLines, DiscTypeLineFromTracksAndFullTocType) {
  EXPECT_EQ(discTypeLine({1, 0}, 0x00), "Type         : data mode 1");
  EXPECT_EQ(discTypeLine({0, 12}, 0x00), "Type         : audio");
  EXPECT_EQ(discTypeLine({1, 10}, 0x20), "Type         : mixed mode 2");
  EXPECT_EQ(discTypeLine({1, 0}, 0x10), "Type         : data CD-i");
  EXPECT_EQ(discTypeLine({1, 0}, -1), "Type         : data");
  EXPECT_EQ(discTypeLine({0, 0}, 0x00), "Type         : unknown");
}

TEST(DriveCheckLines, WidestLineSkipsSeparatorsAndSurvivesReports) {
  size_t widest = 0;
  {
    DriveCheckReport first(widest);
    first.addSeparator();
    EXPECT_EQ(first.lines().front().size(), 118u);
    EXPECT_EQ(widest, 0u) << "separators do not count";
    first.addReportLine(std::string(60, 'a'));
    first.addReportLine("short");
  }
  std::vector<std::string> seen;
  DriveCheckReport second(widest, [&](const std::string& line) { seen.push_back(line); });
  second.addSeparator();
  second.addReportLine("Vendor : X");
  EXPECT_EQ(widest, 60u) << "a later report of shorter lines keeps the width";
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(driveCheckLogText(second.lines(), widest), std::string(60, '-') + "\nVendor                : X\n");
}

TEST(DriveCheckLines, RealignPutsTheColonAtColumn22) {
  // A 17-character label gets five blanks.
  EXPECT_EQ(realignLogLine("Operating system : Linux"), "Operating system      : Linux");
  // A 23-character label loses its last character.
  const std::string label23 = "abcdefghijklmnopqrstuvw";
  EXPECT_EQ(realignLogLine(label23 + ": v"), label23.substr(0, 22) + ": v");
  EXPECT_EQ(realignLogLine("no colon here"), "no colon here");
  EXPECT_EQ(realignLogLine(":x"), std::string(22, ' ') + ":x");
  EXPECT_EQ(realignLogLine("100% : a:b"), "100% " + std::string(17, ' ') + ": a:b") << "only the first colon moves";
  for (const char* line : {"Host adapter   : 0", "   Version              : 1", "Speed settings           : 4 X"}) {
    EXPECT_EQ(realignLogLine(line).find(':'), 22u) << line;
  }
}

TEST(DriveCheckLines, SaveWritesAtomicallyAndReportsTheCause) {
  testing::ScratchDir dir;
  const std::vector<std::string> lines{separatorLine(), "General information", "", "Vendor : A"};
  ASSERT_EQ(saveDriveCheckLog((dir / "DriveCheck.txt").string(), lines, 12), 0);
  EXPECT_EQ(testing::readFile(dir / "DriveCheck.txt"),
            "------------\nGeneral information\n\nVendor                : A\n");
  const int error = saveDriveCheckLog((dir / "missing" / "DriveCheck.txt").string(), lines, 12);
  EXPECT_NE(error, 0);
  const std::string status = logSaveFailureStatus("/x/DriveCheck.txt", error);
  EXPECT_EQ(status.rfind("Unable to creating log file: /x/DriveCheck.txt: ", 0), 0u) << status;
}

}  // namespace
}  // namespace tmx
