// tachometrix-cli --drive-check on the built-in emulated drives.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli/cli_options.h"

namespace {

std::string runCli(const std::string& args, int& exitCode) {
  std::string out;
  FILE* pipe = popen((std::string(TMX_CLI_PATH) + " " + args + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

TEST(CliDriveCheck, OptionRules) {
  using tmx::cli::parseCliOptions;
  const auto ok = parseCliOptions({"--drive-check", "--save-log", "log.txt"});
  EXPECT_TRUE(ok.error.empty());
  EXPECT_TRUE(ok.options.driveCheck);
  EXPECT_EQ(ok.options.saveLog, "log.txt");
  EXPECT_FALSE(parseCliOptions({"--save-log", "log.txt"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--drive-check", "--save-log"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--drive-check", "--run"}).error.empty());
  EXPECT_NE(tmx::cli::usageText().find("--drive-check"), std::string::npos);
}

TEST(CliDriveCheck, EveryPresetGetsAFullReport) {
  int exitCode = -1;
  const std::string out = runCli("--emulated-only --virtual-time --drive-check", exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(count(out, "General information\n"), 12u);
  EXPECT_EQ(count(out, "Supported commands\n"), 12u);
  EXPECT_EQ(count(out, "CD-R(W) information\n"), 3u) << "the CD-R, the CD-RW and the blank CD-R";
  EXPECT_EQ(count(out, "DVD-R(W) information\n"), 1u);
  EXPECT_EQ(count(out, "DVD+R(W) information\n"), 1u);
  EXPECT_EQ(count(out, "BD-R(E) information\n"), 1u);
  EXPECT_EQ(count(out, "Set CD Speed\nok\n"), 12u);
}

TEST(CliDriveCheck, LogAndJsonOfOneDrive) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tmx-cli-check-XXXXXX").string();
  ASSERT_TRUE(::mkdtemp(pattern.data()));
  const std::filesystem::path dir(pattern);
  int exitCode = -1;
  const std::string out = runCli("--emulated-only --virtual-time --drive 0:5 --drive-check --save-log " +
                                     (dir / "DriveCheck.txt").string() + " --json " + (dir / "check.json").string(),
                                 exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(count(out, "General information\n"), 1u);

  std::ifstream log(dir / "DriveCheck.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  ASSERT_GT(lines.size(), 40u);
  size_t widest = 0;
  for (const auto& l : lines) {
    if (!l.starts_with('-')) widest = std::max(widest, l.size());
  }
  EXPECT_EQ(lines[0], std::string(lines[0].size(), '-'));
  EXPECT_GE(lines[0].size(), 40u);
  EXPECT_LE(lines[0].size(), 118u);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "   Manufacturer       : Ritek Co."), lines.end());

  std::ifstream jsonFile(dir / "check.json");
  const auto json = nlohmann::json::parse(jsonFile, nullptr, false);
  ASSERT_FALSE(json.is_discarded());
  ASSERT_EQ(json["driveCheck"].size(), 1u);
  EXPECT_EQ(json["driveCheck"][0]["target"], 5);
  EXPECT_EQ(json["driveCheck"][0]["lines"][1], "General information");
  std::filesystem::remove_all(dir);

  EXPECT_EQ(runCli("--emulated-only --virtual-time --drive 0:5 --drive-check --save-log /nonexistent/dir/x.txt",
                   exitCode).empty(), false);
  EXPECT_EQ(exitCode, 1);
}

}  // namespace
