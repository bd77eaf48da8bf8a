// The desktop program's command line: the drive options it shares with the
// headless program and the combinations it refuses.
#include "app/window_arguments.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

TEST(WindowArguments, TheSharedDriveOptionsSetTheStartOptions) {
  const auto none = parseWindowArguments({});
  EXPECT_TRUE(none.error.empty());
  EXPECT_TRUE(none.start.realDrives);
  EXPECT_TRUE(none.start.emulatedDrives);
  EXPECT_EQ(none.start.clock, ClockKind::Real);

  const auto all = parseWindowArguments({"--emulated-only", "--time-scale", "5", "--emulated-config", "d.json",
                                         "--fault", "read-error@100", "--fault", "unit-attention"});
  ASSERT_TRUE(all.error.empty()) << all.error;
  EXPECT_FALSE(all.start.realDrives);
  EXPECT_TRUE(all.start.emulatedDrives);
  EXPECT_EQ(all.start.clock, ClockKind::Scaled);
  EXPECT_EQ(all.start.timeScale, 5.0);
  EXPECT_EQ(all.start.emulatedConfig, "d.json");
  EXPECT_EQ(all.start.faults, (std::vector<std::string>{"read-error@100", "unit-attention"}));

  EXPECT_EQ(parseWindowArguments({"--virtual-time"}).start.clock, ClockKind::Virtual);
  EXPECT_FALSE(parseWindowArguments({"--no-emulated"}).start.emulatedDrives);
  EXPECT_TRUE(parseWindowArguments({"--help"}).help);
}

TEST(WindowArguments, BadValuesAndConflictsAreRefusedWithAReason) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--time-scale"},
           {"--time-scale", "0.5"},
           {"--time-scale", "5x"},
           {"--emulated-config"},
           {"--fault"},
           {"--emulated-only", "--no-emulated"},
           {"--no-emulated", "--virtual-time"},
           {"--run"},
       }) {
    EXPECT_FALSE(parseWindowArguments(args).error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace tmx
