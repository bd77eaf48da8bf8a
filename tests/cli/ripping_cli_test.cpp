// tachometrix-cli --ripping-features on the emulated drives: its text, its
// "ripping" JSON object with nulls where nothing was measured, the refusal of
// a DVD, the option rules; each check kept in the results library and shown
// again by --ripping-history and --show-ripping.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

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

TEST(CliRipping, LibraryVerbRules) {
  using tmx::cli::parseCliOptions;
  EXPECT_TRUE(parseCliOptions({"--ripping-history", "--library", "x.sqlite"}).options.libraryCommand());
  const auto shown = parseCliOptions({"--show-ripping", "3", "--json", "r.json"});
  EXPECT_TRUE(shown.error.empty()) << shown.error;
  EXPECT_EQ(shown.options.showRipping, 3);
  EXPECT_TRUE(parseCliOptions({"--ripping-history", "--history"}).error.empty());
  EXPECT_EQ(parseCliOptions({"--show-ripping", "x"}).error,
            "--show-ripping needs a ripping check's id (see --ripping-history)");
  EXPECT_EQ(parseCliOptions({"--show-ripping", "1,2"}).error,
            "--show-ripping needs a ripping check's id (see --ripping-history)");
  EXPECT_EQ(parseCliOptions({"--ripping-history", "--no-library"}).error,
            "--no-library leaves no results library for --ripping-history or --show-ripping");
  EXPECT_EQ(parseCliOptions({"--show-ripping", "1", "--ripping-features"}).error,
            "--ripping-history and --show-ripping work on the results library alone");
  EXPECT_EQ(parseCliOptions({"--show-ripping", "1", "--show-run", "2"}).error,
            "--show-ripping shows one ripping check, without --show-run or --compare");
  EXPECT_EQ(parseCliOptions({"--show-ripping", "1", "--save-report", "r.txt"}).error,
            "--show-ripping prints a kept ripping check; of the files, only --json (its \"ripping\" object) applies");
  EXPECT_NE(parseCliOptions({"--ripping-history", "--json", "r.json"}).error, "");
  for (const char* verb : {"--ripping-history", "--show-ripping ID"})
    EXPECT_NE(tmx::cli::usageText().find(verb), std::string::npos) << verb;
}

TEST(CliRipping, DefaultDriveTextAndJson) {
  CliSandbox box("ripping");
  const CliRun r = runIn(box, {"--emulated-only", "--virtual-time", "--drive", "0", "--ripping-features", "--json",
                               "rip.json", "--save-report", "rip.txt"});
  ASSERT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("Verdict: No audio cache; C2 pointers reliable; accurate stream"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Overread: not measured (not asked for"), std::string::npos);
  const auto j = nlohmann::json::parse(slurpFile(box / "rip.json"));
  const auto& rip = j["ripping"];
  EXPECT_EQ(rip["disc"], "audio");
  EXPECT_EQ(rip["readCommands"].size(), 3u);
  EXPECT_EQ(rip["readCommands"][0]["c2BlockErrors"], true);
  EXPECT_TRUE(rip["overread"]["leadIn"].is_null()) << "not asked for: null, never 0";
  EXPECT_EQ(rip["parts"]["overread"]["ran"], false);
  EXPECT_EQ(rip["cache"]["caches"], false);
  EXPECT_TRUE(rip["cache"]["sizeKB"].is_null());
  EXPECT_EQ(rip["speedControl"]["verdict"], "obeyed");
  EXPECT_EQ(rip["c2"]["shiftBytes"], 0);
  // The text report: the drive, the disc, the check's section.
  const std::string report = slurpFile(box / "rip.txt");
  EXPECT_NE(report.find("\r\nProduct\tCD-5200 CAV"), std::string::npos) << report;  // padded as the run report has it
  EXPECT_NE(report.find("\r\nRipping features (audio disc)\t\t\r\nRead commands\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\nSpeed control: obeyed\r\n"), std::string::npos);

  // Kept in the library: listed with its verdict, shown as it was printed.
  const CliRun history = runIn(box, {"--ripping-history"});
  ASSERT_EQ(history.exitCode, 0) << describe(history);
  const std::regex listed(R"(    1  \d{4}-\d\d-\d\d \d\d:\d\d  \S.*  CD audio \d\d:\d\d\.\d\d  )"
                          R"(No audio cache; C2 pointers reliable; accurate stream\n)");
  EXPECT_TRUE(std::regex_match(history.out, listed))
      << history.out;
  const CliRun shown = runIn(box, {"--show-ripping", "1", "--json", "shown.json"});
  ASSERT_EQ(shown.exitCode, 0) << describe(shown);
  const size_t firstLine = shown.out.find('\n') + 1;
  EXPECT_EQ(shown.out.substr(0, firstLine), history.out);
  const std::string lines = shown.out.substr(firstLine);
  EXPECT_NE(lines.find("Verdict: "), std::string::npos) << lines;
  EXPECT_NE(r.out.find(lines), std::string::npos) << "the lines as the check printed them:\n" << lines;
  const auto kept = nlohmann::ordered_json::parse(slurpFile(box / "shown.json"));
  const auto asRun = nlohmann::ordered_json::parse(slurpFile(box / "rip.json"));
  EXPECT_EQ(kept["ripping"].dump(2), asRun["ripping"].dump(2)) << "byte for byte";
  EXPECT_EQ(kept["outcome"], "completed");
  EXPECT_EQ(kept["id"], 1);

  const CliRun unknown = runIn(box, {"--show-ripping", "7"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("ripping check 7 cannot be shown from "), std::string::npos) << describe(unknown);
  EXPECT_NE(unknown.err.find(": no ripping check 7"), std::string::npos) << describe(unknown);
}

TEST(CliRipping, OverreadOnAskAndADvdRefused) {
  CliSandbox box("ripping-overread");
  const CliRun r = runIn(box, {"--emulated-only", "--virtual-time", "--drive", "1", "--ripping-features", "--overread"});
  ASSERT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("Overread: 100 sectors before LBA 0, 100 past the end"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  size: about 1.6 MB\n  emptied by a read 1000 sectors away\n"), std::string::npos);
  EXPECT_NE(r.out.find("Verdict: Caches about 1.6 MB of raw sectors: rip with cache defeat"), std::string::npos);
  EXPECT_NE(r.out.find("the accurate stream test is skipped"), std::string::npos);

  const CliRun dvd = runIn(box, {"--emulated-only", "--virtual-time", "--drive", "7", "--ripping-features"});
  EXPECT_EQ(dvd.exitCode, 1) << describe(dvd);
  EXPECT_NE(dvd.err.find("is for CDs"), std::string::npos) << describe(dvd);
  const CliRun history = runIn(box, {"--ripping-history"});
  EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 1) << "a refused check is not kept:\n"
                                                                          << history.out;
}

TEST(CliRipping, NoLibraryKeepsNothingAndLibraryChoosesTheFile) {
  CliSandbox box("ripping-library");
  // Stopped at once: a short check, still one that ran.
  CliCall call({"--emulated-only", "--virtual-time", "--ripping-features", "--no-library"}, std::chrono::seconds(120));
  call.interruptAfterText = "Read commands...";
  call.interruptAfter = std::chrono::microseconds(0);
  const CliRun unkept = box.run(call);
  EXPECT_EQ(unkept.exitCode, 1) << describe(unkept);
  EXPECT_FALSE(std::filesystem::exists(box / "tachometrix/results.sqlite"));
  EXPECT_EQ(runIn(box, {"--ripping-history"}).out,
            "No ripping checks in " + (box / "tachometrix/results.sqlite").string() + "\n");

  call.args = {"--emulated-only", "--virtual-time", "--ripping-features", "--library", "mine.sqlite"};
  const CliRun kept = box.run(call);
  EXPECT_EQ(kept.exitCode, 1) << describe(kept);
  EXPECT_EQ(kept.out.find("not recorded"), std::string::npos) << kept.out;
  const CliRun history = runIn(box, {"--ripping-history", "--library", "mine.sqlite"});
  EXPECT_NE(history.out.find(" (stopped)\n"), std::string::npos) << describe(history);
}

TEST(CliRipping, ADamagedLibraryCostsTheCheckNothingAndSaysWhy) {
  CliSandbox box("ripping-damaged");
  const std::filesystem::path library = box / "tachometrix/results.sqlite";
  std::filesystem::create_directories(library.parent_path());
  { std::ofstream(library) << std::string(2048, '#'); }
  const CliRun r = runIn(box, {"--emulated-only", "--virtual-time", "--ripping-features"});
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("Verdict: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("]   Ripping check not recorded: Results library " + library.string() +
                       " cannot be used: file is not a database\n"),
            std::string::npos)
      << r.out;
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
