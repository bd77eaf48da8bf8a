// tachometrix-cli --ripping-features on the emulated drives: its text, its
// "ripping" JSON object with nulls where nothing was measured, the refusal of
// a DVD, the option rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cli/cli_options.h"
#include "cli/cli_process.h"

namespace tmx::testing {
namespace {

CliRun runIn(const CliSandbox& box, std::vector<std::string> args) {
  // Nothing of the user's results library may be touched.
  ::setenv("XDG_DATA_HOME", (box.dir() / "data").c_str(), 1);
  return box.run(CliCall(std::move(args), std::chrono::seconds(240)));
}

TEST(CliRipping, OptionRules) {
  using tmx::cli::parseCliOptions;
  EXPECT_TRUE(parseCliOptions({"--ripping-features", "--overread", "--json", "r.json"}).error.empty());
  EXPECT_EQ(parseCliOptions({"--overread"}).error, "--overread belongs to --ripping-features");
  EXPECT_NE(parseCliOptions({"--ripping-features", "--run"}).error.find("a command of its own"), std::string::npos);
  EXPECT_NE(tmx::cli::usageText().find("--ripping-features"), std::string::npos);
}

TEST(CliRipping, DefaultDriveTextAndJson) {
  CliSandbox box("ripping");
  const CliRun r = runIn(box, {"--emulated-only", "--virtual-time", "--drive", "0", "--ripping-features", "--json",
                               "rip.json", "--save-report", "rip.txt"});
  ASSERT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("Verdict: Caches about 1.6 MB of audio: rip with cache defeat; C2 pointers reliable; accurate stream"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Overread: not measured (not asked for"), std::string::npos);
  const auto j = nlohmann::json::parse(slurpFile(box / "rip.json"));
  const auto& rip = j["ripping"];
  EXPECT_EQ(rip["disc"], "audio");
  EXPECT_EQ(rip["readCommands"].size(), 3u);
  EXPECT_EQ(rip["readCommands"][0]["c2BlockErrors"], true);
  EXPECT_TRUE(rip["overread"]["leadIn"].is_null()) << "not asked for: null, never 0";
  EXPECT_EQ(rip["parts"]["overread"]["ran"], false);
  EXPECT_EQ(rip["cache"]["caches"], true);
  EXPECT_EQ(rip["cache"]["flushDistance"], 1000);
  EXPECT_EQ(rip["speedControl"]["verdict"], "obeyed");
  EXPECT_EQ(rip["c2"]["shiftBytes"], 0);
  // The text report: the drive, the disc, the check's section.
  const std::string report = slurpFile(box / "rip.txt");
  EXPECT_NE(report.find("\r\nProduct\tCD-5200 CAV"), std::string::npos) << report;  // padded as the run report has it
  EXPECT_NE(report.find("\r\nRipping features (audio disc)\t\t\r\nRead commands\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\nSpeed control: obeyed\r\n"), std::string::npos);
}

TEST(CliRipping, OverreadOnAskAndADvdRefused) {
  CliSandbox box("ripping-overread");
  const CliRun r = runIn(box, {"--emulated-only", "--virtual-time", "--drive", "1", "--ripping-features", "--overread"});
  ASSERT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("Overread: 100 sectors before LBA 0, 100 past the end"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("the accurate stream test is skipped"), std::string::npos);

  const CliRun dvd = runIn(box, {"--emulated-only", "--virtual-time", "--drive", "7", "--ripping-features"});
  EXPECT_EQ(dvd.exitCode, 1) << describe(dvd);
  EXPECT_NE(dvd.err.find("is for CDs"), std::string::npos) << describe(dvd);
}

TEST(CliRipping, CtrlCStopsTheCheckAndTheAnswersSoFarArePrinted) {
  CliSandbox box("ripping-stop");
  ::setenv("XDG_DATA_HOME", (box.dir() / "data").c_str(), 1);
  CliCall call({"--emulated-only", "--time-scale", "20", "--drive", "0", "--ripping-features", "--json", "rip.json"},
               std::chrono::seconds(120));
  call.interruptAfterText = "Accurate stream...";
  call.interruptAfter = std::chrono::microseconds(0);
  const CliRun r = box.run(call);
  EXPECT_EQ(r.exitCode, 1) << describe(r);
  EXPECT_NE(r.out.find("cut off: stopped"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Verdict: "), std::string::npos) << r.out;
  const auto j = nlohmann::json::parse(slurpFile(box / "rip.json"));
  EXPECT_EQ(j["ripping"]["parts"]["readCommands"]["ran"], true) << "what came before the stop is kept";
  EXPECT_EQ(j["ripping"]["readCommands"].size(), 3u);
  EXPECT_TRUE(j["ripping"]["accurateStream"]["accurate"].is_null());
  EXPECT_TRUE(j["ripping"]["speedControl"]["verdict"].is_null());
}

}  // namespace
}  // namespace tmx::testing
