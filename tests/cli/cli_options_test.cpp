#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace tmx::cli {
namespace {

TEST(CliOptions, VerbsAndDriveSelection) {
  auto p = parseCliOptions({"--emulated-only", "--list", "--drive", "1:3", "--probe"});
  ASSERT_TRUE(p.error.empty()) << p.error;
  EXPECT_TRUE(p.options.list);
  EXPECT_TRUE(p.options.probe);
  EXPECT_TRUE(p.options.emulatedOnly);
  const auto selector = parseDriveSelector(*p.options.drive);
  ASSERT_TRUE(selector);
  EXPECT_TRUE(selector->byAddress);
  EXPECT_EQ(selector->hostAdapter, 1);
  EXPECT_EQ(selector->target, 3);

  EXPECT_EQ(parseDriveSelector("12")->index, 12);
  EXPECT_FALSE(parseDriveSelector("8:0")) << "the scan covers host adapters 0-7";
  EXPECT_FALSE(parseDriveSelector("0:16"));
  EXPECT_FALSE(parseDriveSelector("x"));
  EXPECT_FALSE(parseDriveSelector("1:"));
  EXPECT_FALSE(parseDriveSelector("-1"));
}

TEST(CliOptions, UsageErrors) {
  EXPECT_FALSE(parseCliOptions({"--bogus"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--drive"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--drive", "two"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--emulated-only", "--no-emulated"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--time-scale", "0.5"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--time-scale", "10x"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--virtual-time", "--no-emulated"}).error.empty())
      << "model time means nothing to a real drive";
}

TEST(CliOptions, ResultsLibrary) {
  auto p = parseCliOptions({"--library", "l.sqlite", "--export-runs", "b.json", "--runs", "3,12,7", "--import-runs",
                            "a.json", "--import-runs", "b.dat", "--export-csv", "c.csv", "--history",
                            "--library-wait", "250"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.library, "l.sqlite");
  EXPECT_EQ(p.options.runIds, (std::vector<int64_t>{3, 12, 7}));
  EXPECT_EQ(p.options.importRuns, (std::vector<std::string>{"a.json", "b.dat"}));
  EXPECT_EQ(p.options.libraryWaitMs, 250);
  EXPECT_TRUE(p.options.libraryCommand());
  p = parseCliOptions({"--show-run", "4", "--json", "r.json", "--graph-svg", "g.svg", "--save-report", "r.txt"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.showRun, 4);
  EXPECT_TRUE(parseCliOptions({"--run", "--no-library"}).error.empty());
  EXPECT_FALSE(parseCliOptions({"--run"}).options.libraryCommand());

  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"--show-run", "0"}, "--show-run needs a run's id (see --history)"},
      {{"--show-run", "1,2"}, "--show-run needs a run's id (see --history)"},
      {{"--runs", "1,,2", "--export-csv", "c"}, "--runs needs run ids such as 3,12,7 (see --history)"},
      {{"--runs", "1"}, "--runs chooses the runs of --export-runs or --export-csv"},
      {{"--library", "a", "--no-library"}, "--library and --no-library exclude each other"},
      {{"--history", "--no-library"},
       "--no-library leaves no results library for --history, --show-run or the exports"},
      {{"--history", "--run"},
       "--history, --show-run, --compare, --export-runs, --import-runs and --export-csv work on the results library "
       "alone"},
      {{"--export-runs", "b.json", "--json", "j"},
       "--save-report, --save-status, --json, --graph-svg and --save-html apply to --show-run of the library's "
       "commands"},
      {{"--library-wait", "-1"}, "--library-wait needs milliseconds from 0 to 600000"},
      {{"--save-html", "p.html"}, "--save-html writes the page of --run, --quality-check, --load-dat or --show-run"},
  };
  for (const auto& [args, error] : refused) EXPECT_EQ(parseCliOptions(args).error, error) << args.front();
}

TEST(CliOptions, TimeModes) {
  EXPECT_EQ(parseCliOptions({}).options.timeMode, TimeMode::Real);
  EXPECT_EQ(parseCliOptions({"--virtual-time"}).options.timeMode, TimeMode::Virtual);
  const auto p = parseCliOptions({"--time-scale", "20"});
  EXPECT_EQ(p.options.timeMode, TimeMode::Scaled);
  EXPECT_DOUBLE_EQ(p.options.timeScale, 20.0);
}

}  // namespace
}  // namespace tmx::cli
