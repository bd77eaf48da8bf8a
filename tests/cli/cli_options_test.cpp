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

TEST(CliOptions, TimeModes) {
  EXPECT_EQ(parseCliOptions({}).options.timeMode, TimeMode::Real);
  EXPECT_EQ(parseCliOptions({"--virtual-time"}).options.timeMode, TimeMode::Virtual);
  const auto p = parseCliOptions({"--time-scale", "20"});
  EXPECT_EQ(p.options.timeMode, TimeMode::Scaled);
  EXPECT_DOUBLE_EQ(p.options.timeScale, 20.0);
}

}  // namespace
}  // namespace tmx::cli
