// The CLI binary on the built-in emulated drives.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

namespace {

struct CliRun {
  int exitCode = -1;
  std::string out;
};

// Standard output only, or standard error only.
CliRun runCli(const std::string& args, bool errors = false) {
  CliRun run;
  const std::string command = std::string(TMX_CLI_PATH) + " " + args + (errors ? " 2>&1 >/dev/null" : " 2>/dev/null");
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CliEndToEnd, ListShowsOnlyTheEmulatedCdRomDrives) {
  const CliRun run = runCli("--emulated-only --virtual-time --list");
  ASSERT_EQ(run.exitCode, 0);
  const auto lines = linesOf(run.out);
  ASSERT_GE(lines.size(), 7u);
  const std::regex driveLine(R"( \[0:\d+\]   \S.* V\S*)");
  for (const auto& line : lines) {
    EXPECT_TRUE(std::regex_match(line, driveLine)) << line;
    EXPECT_EQ(line.back() == ' ', false) << "trailing blanks are trimmed";
  }
}

TEST(CliEndToEnd, ProbeOfTheDefaultDrive) {
  const CliRun run = runCli("--emulated-only --virtual-time --probe");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "Type: Audio\nLength: 74:00.00\n");
}

TEST(CliEndToEnd, ExitCodes) {
  EXPECT_EQ(runCli("--emulated-only --virtual-time --drive 120 --probe").exitCode, 1);
  EXPECT_EQ(runCli("--emulated-only --virtual-time --drive 7:15 --probe").exitCode, 1);
  EXPECT_EQ(runCli("--frobnicate").exitCode, 2);
  EXPECT_EQ(runCli("--help").exitCode, 0);
}

// On a machine without the sg driver and without optical drives only.
TEST(CliEndToEnd, WithoutAnyDriveToReachTheErrorSaysWhatToLoad) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/dev", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("sg") || name.starts_with("sr")) GTEST_SKIP() << "this machine has " << name;
  }
  if (fs::exists("/sys/class/scsi_generic")) GTEST_SKIP() << "this machine has the sg driver";
  const CliRun run = runCli("--no-emulated --list", true);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out,
            "No CD-ROM drive can be reached: the sg module is not loaded and there is no /dev/sg*. "
            "Load it (sudo modprobe sg) and start the program again.\n");
}

}  // namespace
