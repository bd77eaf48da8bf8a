// A run reads the options it started with: the window changing them while a
// worker measures changes nothing in that run.
#include <gtest/gtest.h>

#include "support/engine_rig.h"

namespace tmx {
namespace {

TEST(RunSettings, OptionsChangedDuringARunTakeEffectAtTheNextStart) {
  testing::EngineRig rig(1);
  rig.onlyTests({TestBurstRate});
  bool changed = false;
  rig.onEvent = [&](int, long) {
    if (changed) return;
    changed = true;
    rig.onlyTests({TestSpinUpDown});
    rig.settings.burstLengthKB = 2;
  };
  rig.run();
  ASSERT_TRUE(changed);
  EXPECT_EQ(rig.host.count("Burst rate test completed"), 1);
  EXPECT_EQ(rig.host.count("Starting spin up time test"), 0);

  rig.onEvent = nullptr;
  rig.run();
  EXPECT_EQ(rig.host.count("Burst rate test completed"), 1);
  EXPECT_EQ(rig.host.count("Spin up/down test completed"), 1);
}

}  // namespace
}  // namespace tmx
