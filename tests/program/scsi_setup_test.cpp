// The SCSI set-up on a fake kernel tree: when no drive can be reached the
// loader builds no manager and says why once; otherwise the real hosts come
// first, then the emulated adapter, and a permission hint stays a hint.
#include <gtest/gtest.h>

#include "program/scsi_setup.h"
#include "platform/clock.h"
#include "platform/scsi_manager.h"
#include "support/fake_tree.h"

namespace tmx {
namespace {

using testing::FakeTree;

struct Loaded {
  std::unique_ptr<ScsiManager> manager;
  LoaderReport report;
};

Loaded load(const FakeTree& tree, bool emulated, std::string config = {}) {
  ScsiSetup setup;
  setup.sysRoot = (tree.root / "sys").string();
  setup.devRoot = (tree.root / "dev").string();
  setup.emulatedDrives = emulated;
  setup.emulatedConfig = std::move(config);
  VirtualClock clock;
  Loaded loaded;
  loaded.manager = makeManagerLoader(setup, clock, loaded.report)();
  return loaded;
}

// Two drives on kernel host 1 whose nodes this process may not open.
bool lockedDrives(const FakeTree& tree) {
  const auto locked = testing::unwritablePath(tree);
  if (!locked) return false;
  for (const char* address : {"1:0:0:0", "1:0:1:0"}) {
    tree.file(std::string("sys/bus/scsi/devices/") + address + "/type", "5\n");
  }
  tree.dir("sys/bus/scsi/devices/1:0:0:0/scsi_generic/sg0");
  tree.dir("sys/bus/scsi/devices/1:0:1:0/scsi_generic/sg1");
  tree.dir("sys/class/scsi_generic");
  tree.linkOut("dev/sg0", *locked);
  tree.linkOut("dev/sg1", *locked);
  return true;
}

TEST(ScsiSetup, WithoutTheSgDriverNothingLoadsAndTheFixIsModprobe) {
  FakeTree tree;
  Loaded none = load(tree, false);
  EXPECT_EQ(none.manager, nullptr);
  EXPECT_NE(none.report.failure.find("sudo modprobe sg"), std::string::npos) << none.report.failure;
  EXPECT_TRUE(none.report.messages.empty());

  // The emulated adapter is always there to use.
  Loaded emulated = load(tree, true);
  ASSERT_NE(emulated.manager, nullptr);
  EXPECT_EQ(emulated.manager->adapterCount(), 1);
  EXPECT_EQ(emulated.report.failure, "");
}

TEST(ScsiSetup, DrivesNoneOfWhichOpensAreOneFailureNotAHintAndAnEmptyList) {
  FakeTree tree;
  if (!lockedDrives(tree)) GTEST_SKIP() << "nothing here refuses this process a read-write open";
  const std::string dev = (tree.root / "dev").string();
  Loaded locked = load(tree, false);
  EXPECT_EQ(locked.manager, nullptr);
  EXPECT_EQ(locked.report.failure, unreachableDrivesText(SgIoFindings{true, true, 2, 0, {dev + "/sg0", dev + "/sg1"}, {}}));
  EXPECT_TRUE(locked.report.messages.empty()) << "the failure already names the cdrom group";

  // With the emulated drives there is something to use: the hint tells about the others.
  Loaded beside = load(tree, true);
  ASSERT_NE(beside.manager, nullptr);
  EXPECT_EQ(beside.manager->adapterCount(), 2) << "the real host first, its drives absent";
  EXPECT_EQ(beside.report.failure, "");
  ASSERT_EQ(beside.report.messages.size(), 1u);
  EXPECT_NE(beside.report.messages[0].find(dev + "/sg0"), std::string::npos);
}

TEST(ScsiSetup, AnOpenedDriveIsEnoughAndABadConfigurationIsReportedLast) {
  FakeTree tree;
  tree.file("sys/bus/scsi/devices/2:0:0:0/type", "5\n");
  tree.dir("sys/bus/scsi/devices/2:0:0:0/block/sr0");
  tree.file("dev/sr0", "");
  Loaded real = load(tree, false);
  ASSERT_NE(real.manager, nullptr);
  EXPECT_EQ(real.manager->adapterCount(), 1);
  EXPECT_EQ(real.report.failure, "");

  Loaded badConfig = load(tree, true, (tree.root / "none.json").string());
  ASSERT_NE(badConfig.manager, nullptr) << "the real drive is still there";
  EXPECT_TRUE(badConfig.report.configFailed);
  ASSERT_EQ(badConfig.report.messages.size(), 1u);
  EXPECT_NE(badConfig.report.messages.back().find("none.json"), std::string::npos);

  // Without real drives a bad configuration leaves nothing to use.
  FakeTree empty;
  Loaded nothing = load(empty, true, (empty.root / "none.json").string());
  EXPECT_EQ(nothing.manager, nullptr);
  EXPECT_TRUE(nothing.report.configFailed);
  EXPECT_NE(nothing.report.failure.find("sudo modprobe sg"), std::string::npos);
}

TEST(ScsiSetup, FailureWhenRealDrivesAreOff) {
  ScsiSetup emulatedOnly;
  emulatedOnly.realDrives = false;
  EXPECT_EQ(loaderFailureText(emulatedOnly, {}, true), "");
  EXPECT_EQ(loaderFailureText(emulatedOnly, {}, false), "No drives to use: the emulated drives could not be loaded");
  SgIoFindings opened;
  opened.opened = 1;
  EXPECT_EQ(loaderFailureText(emulatedOnly, opened, false), "No drives to use: the emulated drives could not be loaded")
      << "real drives not asked for count for nothing";
  emulatedOnly.emulatedDrives = false;
  EXPECT_EQ(loaderFailureText(emulatedOnly, {}, false), "No drives to use: both real and emulated drives are off");
}

}  // namespace
}  // namespace tmx
