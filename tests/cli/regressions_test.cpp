// Every hostile input found so far, run through the CLI binary: each must end
// in time with a clear message and the right exit status, never a crash.
// Inputs are the files of tests/data/regressions, by name:
//   config-*.json   an emulated-drive config the reader must refuse by FILE:LINE
//   dat-*.dat       a DAT file that must load (or be refused) with valid JSON out
//   fault-*.txt     one --fault text a line, each refused as out of range
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "cli/cli_process.h"

namespace tmx {
namespace {

namespace fs = std::filesystem;
using testing::CliCall;
using testing::CliRun;
using testing::describe;
using testing::CliSandbox;

std::vector<fs::path> inputs(const std::string& prefix, const std::string& extension) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(TMX_REGRESSIONS_DIR)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && entry.path().extension() == extension) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}


bool validJson(const std::string& text) { return nlohmann::json::accept(text); }

TEST(Regressions, ConfigsAreRefusedWithFileAndLine) {
  CliSandbox box("regress-config");
  const auto files = inputs("config-", ".json");
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    const CliRun r = box.run(CliCall({"--emulated-config", file.string(), "--list"}, std::chrono::seconds(20)));
    EXPECT_EQ(r.exitCode, 1) << file << "\n" << describe(r);
    EXPECT_TRUE(std::regex_search(r.err, std::regex("^" + file.string() + ":[0-9]+: "))) << describe(r);
  }
  // A config that goes deep enough to have cost minutes and gigabytes.
  std::ofstream(box / "deep.json") << "{\"drives\":[" << std::string(100000, '[') << std::string(100000, ']') << "]}";
  const CliRun deep = box.run(CliCall({"--emulated-config", "deep.json", "--list"}, std::chrono::seconds(20)));
  EXPECT_EQ(deep.exitCode, 1) << describe(deep);
  EXPECT_NE(deep.err.find("deep.json:1: nested deeper than 64 levels"), std::string::npos) << describe(deep);
}

TEST(Regressions, FaultTextsOutOfRangeAreRefused) {
  CliSandbox box("regress-fault");
  for (const fs::path& file : inputs("fault-", ".txt")) {
    std::ifstream in(file);
    for (std::string spec; std::getline(in, spec);) {
      if (spec.empty()) continue;
      const CliRun r = box.run(CliCall({"--emulated-only", "--virtual-time", "--fault", spec, "--probe"}));
      EXPECT_EQ(r.exitCode, 1) << spec << "\n" << describe(r);
      EXPECT_NE(r.err.find("--fault " + spec + ": bad fault"), std::string::npos) << describe(r);
      EXPECT_NE(r.err.find("out of range"), std::string::npos) << describe(r);
    }
  }
}

TEST(Regressions, DatFilesLoadIntoValidJson) {
  CliSandbox box("regress-dat");
  for (const fs::path& file : inputs("dat-", ".dat")) {
    const CliRun r = box.run(CliCall({"--load-dat", file.string(), "--json", "out.json"}, std::chrono::seconds(20)));
    ASSERT_TRUE(r.exitCode == 0 || r.exitCode == 1) << file << "\n" << describe(r);
    if (r.exitCode == 0) {
      EXPECT_TRUE(validJson(testing::slurpFile(box / "out.json"))) << file;
    }
  }
}

TEST(Regressions, FifosAreRefusedNotWaitedOn) {
  CliSandbox box("regress-fifo");
  ASSERT_EQ(::mkfifo((box / "pipe").c_str(), 0600), 0);
  const CliRun dat = box.run(CliCall({"--load-dat", "pipe"}, std::chrono::seconds(20)));
  EXPECT_EQ(dat.exitCode, 1) << describe(dat);
  EXPECT_NE(dat.err.find("Error opening " + (box / "pipe").string() + ": Not a regular file"), std::string::npos)
      << describe(dat);
  const CliRun config = box.run(CliCall({"--emulated-config", "pipe", "--list"}, std::chrono::seconds(20)));
  EXPECT_EQ(config.exitCode, 1) << describe(config);
  EXPECT_NE(config.err.find("pipe:1: not a regular file"), std::string::npos) << describe(config);
}

TEST(Regressions, SaveErrorsNamePathAndCause) {
  CliSandbox box("regress-save");
  const CliRun r = box.run(CliCall({"--emulated-only", "--virtual-time", "--drive", "1", "--run", "burst", "--json",
                                    "nodir/run.json", "--save-status", "nodir/status.txt", "--save-report",
                                    "nodir/r.txt"}));
  EXPECT_EQ(r.exitCode, 1) << describe(r);
  for (const char* name : {"run.json", "status.txt", "r.txt"}) {
    EXPECT_NE(r.err.find("Error saving " + (box / "nodir" / name).string() + ": No such file or directory"),
              std::string::npos)
        << name << "\n" << describe(r);
  }
}

TEST(Regressions, JsonThroughALinkToStdoutKeepsTheLink) {
  CliSandbox box("regress-stdout");
  fs::create_symlink("/dev/stdout", box / "out");
  const CliRun r = box.run(CliCall({"--emulated-only", "--virtual-time", "--drive", "1", "--run", "burst", "--json", "out"}));
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_TRUE(fs::is_symlink(box / "out"));
  const size_t brace = r.out.find("{\n");
  ASSERT_NE(brace, std::string::npos) << r.out;
  EXPECT_TRUE(validJson(r.out.substr(brace))) << r.out;
  EXPECT_NE(r.out.find("Burst rate test completed"), std::string::npos) << "what was printed before stays";

  // The same for /dev/stdout itself when it is a regular file.
  const CliRun direct =
      box.run(CliCall({"--emulated-only", "--virtual-time", "--drive", "1", "--run", "burst", "--json", "/dev/stdout"}));
  EXPECT_EQ(direct.exitCode, 0) << describe(direct);
  const size_t at = direct.out.find("{\n");
  ASSERT_NE(at, std::string::npos) << direct.out;
  EXPECT_TRUE(validJson(direct.out.substr(at))) << direct.out;
  EXPECT_NE(direct.out.find("Burst rate test completed"), std::string::npos) << direct.out;
}

TEST(Regressions, QualityCheckJsonHasTheDiscFacts) {
  CliSandbox box("regress-quality");
  const CliRun r = box.run(CliCall({"--emulated-only", "--virtual-time", "--quality-check", "--json", "check.json"}));
  ASSERT_EQ(r.exitCode, 0) << describe(r);
  const auto json = nlohmann::json::parse(testing::slurpFile(box / "check.json"));
  EXPECT_EQ(json["disc"]["type"], 1) << "the 74-minute audio CD";
  EXPECT_EQ(json["disc"]["lengthSectors"], 74 * 4500);
}

}  // namespace
}  // namespace tmx
