// The CLI's --graph-svg on the emulated drives in virtual time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class CliGraphSvg : public ::testing::Test {
 protected:
  CliGraphSvg() : dir_(fs::temp_directory_path() / ("tmx-graph-svg-" + std::to_string(::getpid()))) {
    fs::create_directories(dir_);
  }
  ~CliGraphSvg() override { fs::remove_all(dir_); }

  // Exit status of the CLI run in the test's folder, its output discarded.
  int run(const std::string& args) {
    const std::string command = "cd '" + dir_.string() + "' && XDG_CONFIG_HOME='" + dir_.string() +
                                "' XDG_DATA_HOME='" + dir_.string() + "' '" +
                                TMX_CLI_PATH + "' " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string slurp(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
};

TEST_F(CliGraphSvg, RunAndLoadedFileDrawTheSameGraph) {
  ASSERT_EQ(run("--emulated-only --virtual-time --drive 1 --run transfer --save-dat run.dat --graph-svg run.svg"), 0);
  const std::string svg = slurp("run.svg");
  EXPECT_TRUE(svg.starts_with("<?xml")) << svg.substr(0, 100);
  EXPECT_NE(svg.find("<image x=\"10\" y=\"3\""), std::string::npos);
  EXPECT_NE(svg.find(">24X</text>"), std::string::npos) << "no settings file: the scale fits the 16X drive";
  // The transfer rate curve in its default green.
  EXPECT_NE(svg.find("fill=\"#00FF00\""), std::string::npos);

  ASSERT_EQ(run("--load-dat run.dat --graph-svg loaded.svg"), 0);
  EXPECT_EQ(slurp("loaded.svg"), svg);
}

TEST_F(CliGraphSvg, QualityCheckDrawsPercentAndNeedsSomethingToDraw) {
  ASSERT_EQ(run("--emulated-only --virtual-time --quality-check --graph-svg check.svg"), 0);
  const std::string svg = slurp("check.svg");
  EXPECT_NE(svg.find(">100%</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">48X</text>"), std::string::npos);

  EXPECT_EQ(run("--emulated-only --virtual-time --probe --graph-svg nothing.svg"), 2);
  EXPECT_EQ(run("--emulated-only --virtual-time --run transfer --graph-svg missing/run.svg"), 1);
  EXPECT_FALSE(fs::exists(dir_ / "nothing.svg"));
}

}  // namespace
