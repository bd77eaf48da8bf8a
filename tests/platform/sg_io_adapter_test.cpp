// The SG_IO backend on a fake sysfs tree, with regular files standing in for
// the device nodes: which nodes become which adapter and target, what the
// scan reports when nodes do not open, what a command gets back when no
// drive answers it, and the facts each adapter gives the drive check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/aspi_codes.h"
#include "platform/sg_io_adapter.h"
#include "platform/system_info.h"
#include "support/fake_tree.h"

namespace tmx {
namespace {

using testing::FakeTree;

// A CD/DVD device of the kernel, with the names its drivers gave it.
void opticalDevice(const FakeTree& tree, const std::string& address, const std::string& sg, const std::string& sr,
                   int type = 5) {
  const std::string dir = "sys/bus/scsi/devices/" + address;
  tree.file(dir + "/type", std::to_string(type) + "\n");
  if (!sg.empty()) tree.dir(dir + "/scsi_generic/" + sg);
  if (!sr.empty()) tree.dir(dir + "/block/" + sr);
}

void node(const FakeTree& tree, const std::string& name) { tree.file("dev/" + name, ""); }

SgIoScan scan(const FakeTree& tree) {
  return openSgIoAdapters((tree.root / "sys").string(), (tree.root / "dev").string());
}

SgIoAdapter& sg(const SgIoScan& s, size_t index) { return dynamic_cast<SgIoAdapter&>(*s.adapters.at(index)); }

ScsiResult send(HostAdapter& adapter, uint8_t target, std::vector<uint8_t> cdb, std::vector<uint8_t>& data,
                uint8_t lun = 0) {
  ScsiCommand command;
  command.target = target;
  command.lun = lun;
  command.cdb = cdb;
  command.direction = data.empty() ? DataDirection::None : DataDirection::In;
  command.data = data;
  return adapter.execute(command);
}

TEST(SgIoScan, OneAdapterPerKernelHostWithTheSgNodeFirstAndTheSrNodeAsFallback) {
  FakeTree tree;
  opticalDevice(tree, "7:0:0:0", "", "sr2");        // USB drive, no sg name: its sr node
  opticalDevice(tree, "1:0:1:0", "sg2", "sr1");     // sg node missing from /dev: its sr node
  opticalDevice(tree, "1:0:0:0", "sg1", "sr0");
  opticalDevice(tree, "0:0:0:0", "sg0", "", 0);     // a hard disk: not ours
  tree.file("sys/class/scsi_host/host1/proc_name", "ata_piix\n");
  tree.file("sys/class/scsi_host/host7/proc_name", "usb-storage\n");
  tree.dir("sys/class/scsi_generic");
  for (const char* name : {"sg0", "sg1", "sr0", "sr1", "sr2"}) node(tree, name);

  const SgIoScan s = scan(tree);
  ASSERT_EQ(s.adapters.size(), 2u);
  const std::string dev = (tree.root / "dev").string();
  SgIoAdapter& ata = sg(s, 0);
  EXPECT_EQ(ata.kernelHost(), 1);
  EXPECT_EQ(ata.identifier(), "ata_piix");
  EXPECT_EQ(ata.description(), "SCSI host 1 (ata_piix)");
  ASSERT_EQ(ata.devices().size(), 2u);
  EXPECT_EQ(ata.devicePath(0), dev + "/sg1") << "target 0 is 1:0:0:0";
  EXPECT_EQ(ata.devicePath(1), dev + "/sr1");
  EXPECT_EQ(ata.devicePath(2), "");
  EXPECT_EQ(ata.devices()[1].reservedSize, 0) << "no sg buffer behind a node that is no sg node";
  SgIoAdapter& usb = sg(s, 1);
  EXPECT_EQ(usb.kernelHost(), 7);
  EXPECT_EQ(usb.identifier(), "usb-storage");
  EXPECT_EQ(usb.devicePath(0), dev + "/sr2");

  EXPECT_TRUE(s.messages.empty());
  EXPECT_EQ(s.findings.opticalDevices, 3);
  EXPECT_EQ(s.findings.opened, 3);
  EXPECT_TRUE(s.findings.sgDriverLoaded);
  EXPECT_TRUE(s.findings.sgNodes);
  EXPECT_TRUE(s.findings.denied.empty());
  EXPECT_TRUE(s.findings.failed.empty());
}

TEST(SgIoScan, WithoutDevicesOrTheSgDriverTheFindingsSaySo) {
  FakeTree tree;
  const SgIoScan none = scan(tree);  // not even a SCSI bus
  EXPECT_TRUE(none.adapters.empty());
  EXPECT_FALSE(none.findings.sgDriverLoaded);
  EXPECT_FALSE(none.findings.sgNodes);
  EXPECT_EQ(none.findings.opticalDevices, 0);

  // sg names that are no sg nodes: "sga" and "sg" do not count.
  node(tree, "sga");
  node(tree, "sg");
  node(tree, "sr0");
  EXPECT_FALSE(scan(tree).findings.sgNodes);
  node(tree, "sg12");
  EXPECT_TRUE(scan(tree).findings.sgNodes);
}

TEST(SgIoScan, NodesThatDoNotOpenAreNamedOncePerDriveAndTheDriveStaysAbsent) {
  FakeTree tree;
  opticalDevice(tree, "2:0:0:0", "sg3", "sr3");  // neither node in /dev
  tree.file("sys/class/scsi_host/host2/proc_name", "virtio_scsi\n");
  SgIoScan s = scan(tree);
  ASSERT_EQ(s.adapters.size(), 1u);
  EXPECT_EQ(s.findings.opticalDevices, 1);
  EXPECT_EQ(s.findings.opened, 0);
  ASSERT_EQ(s.findings.failed.size(), 1u);
  EXPECT_EQ(s.findings.failed[0], (tree.root / "dev/sg3").string() + ": No such file or directory")
      << "the first node tried";
  EXPECT_TRUE(s.messages.empty()) << "no permission problem";
  std::vector<uint8_t> reply(36, 0xAA);
  const ScsiResult r = send(*s.adapters[0], 0, {0x12, 0, 0, 0, 36, 0}, reply);
  EXPECT_EQ(r.status, aspi::kNoDevice);
  EXPECT_EQ(r.hostStatus, aspi::kHaSelectionTimeout);
  EXPECT_EQ(s.adapters[0]->devicePath(0), "");
}

TEST(SgIoScan, PermissionIsHintedOnceAndOnlyDrivesWithoutAnOpenNodeCountAsDenied) {
  FakeTree tree;
  const auto locked = testing::unwritablePath(tree);
  if (!locked) GTEST_SKIP() << "nothing here refuses this process a read-write open";
  opticalDevice(tree, "1:0:0:0", "sg1", "sr0");  // sg refused, sr opens
  opticalDevice(tree, "1:0:1:0", "sg2", "sr1");  // both refused
  tree.linkOut("dev/sg1", *locked);
  tree.linkOut("dev/sg2", *locked);
  tree.linkOut("dev/sr1", *locked);
  node(tree, "sr0");
  const SgIoScan s = scan(tree);
  const std::string dev = (tree.root / "dev").string();
  ASSERT_EQ(s.messages.size(), 1u);
  EXPECT_EQ(s.messages[0], permissionHint(dev + "/sg1")) << "the first refused node, though its drive opened";
  EXPECT_EQ(s.findings.opened, 1);
  EXPECT_EQ(s.findings.denied, std::vector<std::string>{dev + "/sg2"});
  EXPECT_EQ(s.adapters[0]->devicePath(0), dev + "/sr0");
  EXPECT_EQ(s.adapters[0]->devicePath(1), "");
}

TEST(SgIoAdapter, CommandsWithoutADriveAndTheReplyAreaOfNonReads) {
  FakeTree tree;
  opticalDevice(tree, "0:0:0:0", "sg0", "sr0");
  node(tree, "sg0");  // a regular file: every SG_IO on it fails
  SgIoScan s = scan(tree);
  ASSERT_EQ(s.adapters.size(), 1u);
  HostAdapter& adapter = *s.adapters[0];

  std::vector<uint8_t> none;
  for (const ScsiResult& r : {send(adapter, 1, {0x00, 0, 0, 0, 0, 0}, none),   // no such target
                              send(adapter, 0, {0x00, 0, 0, 0, 0, 0}, none, 1),  // LUN 1
                              send(adapter, 0, {}, none)}) {                   // no CDB
    EXPECT_EQ(r.status, aspi::kNoDevice);
    EXPECT_EQ(r.hostStatus, aspi::kHaSelectionTimeout);
  }

  // The ioctl fails (not a SCSI node): a host failure, not a device error.
  std::vector<uint8_t> inquiry(96, 0xAA);
  ScsiResult r = send(adapter, 0, {0x12, 0, 0, 0, 96, 0}, inquiry);
  EXPECT_EQ(r.status, aspi::kInvalidCommand);
  EXPECT_EQ(r.hostStatus, aspi::kHaPhaseError);
  EXPECT_EQ(r.transferred, -1);
  EXPECT_EQ(std::count(inquiry.begin(), inquiry.end(), 0), 96) << "stale bytes of a reply cleared before sending";
  std::vector<uint8_t> sector(2048, 0xAA);
  send(adapter, 0, {0x28, 0, 0, 0, 0, 16, 0, 0, 1, 0}, sector);
  EXPECT_EQ(std::count(sector.begin(), sector.end(), 0xAA), 2048) << "a read's buffer is left alone";
}

// Each adapter answers for its own kernel host (1 and 7, not 0 and 1).
TEST(SgIoAdapter, TheDriveCheckFactsAreThoseOfItsKernelHost) {
  FakeTree tree;
  const std::string pci = "sys/devices/pci0000:00/0000:00:01.1";
  tree.pciDevice(pci, "0x8086", "0x7010", "ata_piix");
  tree.scsiHost(1, pci + "/ata2", "ata_piix");
  tree.scsiHost(7, "sys/devices/platform/other", "usb-storage");
  opticalDevice(tree, "1:0:0:0", "sg1", "sr0");
  opticalDevice(tree, "7:0:0:0", "sg2", "sr1");
  node(tree, "sg1");
  node(tree, "sg2");
  const SgIoScan s = scan(tree);
  ASSERT_EQ(s.adapters.size(), 2u);
  const SystemInfo info(tree.root, std::make_unique<testing::NoHardwareLookup>());

  EXPECT_EQ(info.hostAdapterName(s.adapters[0].get()), "ata_piix, PCI device 8086:7010");
  EXPECT_EQ(info.adapterDriver(s.adapters[0].get()).driver, "ata_piix");
  EXPECT_EQ(info.hostAdapterName(s.adapters[1].get()), "usb-storage");
  EXPECT_EQ(info.adapterDriver(s.adapters[1].get()).driver, "N/A");

  tree.file("proc/scsi/sg/version", "30536\t3.5.36 [20140603]\n");
  EXPECT_EQ(info.scsiLayerText(s.adapters[0].get()), "Linux sg driver V3.5.36");
  std::filesystem::remove(tree.root / "proc/scsi/sg/version");
  EXPECT_EQ(info.scsiLayerText(s.adapters[0].get()), "Linux sg driver VN/A") << "no node answers the version";
}

}  // namespace
}  // namespace tmx
