// The CLI's --save-html on the emulated drives in virtual time: a run, a
// loaded file and a run of the library, each one self-contained page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class CliReportPage : public ::testing::Test {
 protected:
  CliReportPage() : dir_(fs::temp_directory_path() / ("tmx-report-page-" + std::to_string(::getpid()))) {
    fs::create_directories(dir_);
  }
  ~CliReportPage() override { fs::remove_all(dir_); }

  int run(const std::string& args) {
    const std::string command = "cd '" + dir_.string() + "' && XDG_CONFIG_HOME='" + dir_.string() +
                                "' XDG_DATA_HOME='" + dir_.string() + "' '" + TMX_CLI_PATH + "' " + args +
                                " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string slurp(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  fs::path dir_;
};

TEST_F(CliReportPage, ARunALoadedFileAndAStoredRunEachMakeAPage) {
  ASSERT_EQ(run("--emulated-only --virtual-time --drive 1 --run transfer --save-dat run.dat --save-html run.html"), 0);
  const std::string page = slurp("run.html");
  EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
  EXPECT_TRUE(has(page, "<h1>NORDLYS CLV-1600 SCSI 2.10</h1>"));
  EXPECT_TRUE(has(page, "<th>Reading type</th><td class=\"val\">CLV</td>"));
  EXPECT_TRUE(has(page, "<th>Random seek</th><td class=\"val none\">not measured</td>"));
  EXPECT_TRUE(has(page, "Transfer rate test completed"));
  EXPECT_TRUE(has(page, "<figure><svg "));

  ASSERT_EQ(run("--load-dat run.dat --save-html loaded.html"), 0);
  EXPECT_TRUE(has(slurp("loaded.html"), "<h1>Saved results</h1>"));

  // The run was recorded as run 1: its page names the drive and its time.
  ASSERT_EQ(run("--show-run 1 --save-html stored.html"), 0);
  const std::string stored = slurp("stored.html");
  EXPECT_TRUE(has(stored, "<h1>NORDLYS CLV-1600 SCSI 2.10</h1>"));
  EXPECT_TRUE(has(stored, " UTC &middot; Tachometrix "));
  EXPECT_TRUE(has(stored, "<th>Reading type</th><td class=\"val\">CLV</td>"));
}

TEST_F(CliReportPage, NeedsSomethingToShowAndSaysWhenItCannotWrite) {
  EXPECT_EQ(run("--emulated-only --virtual-time --probe --save-html nothing.html"), 2);
  EXPECT_EQ(run("--history --save-html nothing.html"), 2);
  EXPECT_FALSE(fs::exists(dir_ / "nothing.html"));
  EXPECT_EQ(run("--emulated-only --virtual-time --run transfer --save-html missing/run.html"), 1);
}

}  // namespace
