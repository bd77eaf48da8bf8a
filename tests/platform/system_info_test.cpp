// SystemInfo on a fake tree: a PCI host with a loadable driver, a USB host
// with a built-in one, and the texts of the kernel, distribution and sg driver.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system_info.h"
#include "support/fake_tree.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {
namespace fs = std::filesystem;

class FakeLookup final : public HardwareLookup {
 public:
  std::string pciName(const std::string& vendor, const std::string& device) const override {
    return vendor == "0x8086" && device == "0x7010" ? "Intel Corporation 82371SB PIIX3 IDE [Natoma/Triton II]" : "";
  }
  std::optional<ModuleFacts> module(const std::string& name) const override {
    if (name != "ata_piix") return std::nullopt;
    return ModuleFacts{false, "/lib/modules/6.1.0-18-amd64/kernel/drivers/ata/ata_piix.ko",
                       "SCSI low-level driver for Intel PIIX/ICH ATA controllers", "Andre Hedrick, Alan Cox", "2.13"};
  }
};

using testing::FakeTree;

TEST(SystemInfo, KernelDistributionAndSgTexts) {
  FakeTree tree;
  tree.file("proc/sys/kernel/ostype", "Linux\n");
  tree.file("proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
  tree.file("etc/os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
  tree.file("proc/scsi/sg/version", "30536\t3.5.36 [20140603]\n");
  SystemInfo info(tree.root, std::make_unique<FakeLookup>());
  EXPECT_EQ(info.operatingSystemText(), "Linux V6.01.0 Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(info.sgDriverText(), "Linux sg driver V3.5.36");
  // An adapter that tells nothing of its layer, and no adapter at all.
  testing::ScriptedAdapter plain;
  EXPECT_EQ(info.scsiLayerText(&plain), "N/A");
  EXPECT_EQ(info.hostAdapterName(&plain), "scripted test adapter");
  EXPECT_EQ(info.adapterDriver(&plain).driver, "scripted");
  EXPECT_EQ(info.scsiLayerText(nullptr), "N/A");
  EXPECT_FALSE(info.hostAdapterName(nullptr));
  EXPECT_EQ(info.adapterDriver(nullptr).driver, "N/A");

  // No distribution: the text ends with a blank. No sg entry: N/A.
  fs::remove(tree.root / "etc/os-release");
  fs::remove(tree.root / "proc/scsi/sg/version");
  EXPECT_EQ(info.operatingSystemText(), "Linux V6.01.0 ");
  EXPECT_EQ(info.sgDriverText(), "Linux sg driver VN/A");
}

TEST(SystemInfo, PureParsers) {
  EXPECT_EQ(parseKernelRelease("5.10.0-28-amd64").minor, 10u);
  const KernelVersion v = parseKernelRelease("6.8-rc1");
  EXPECT_EQ(v.major, 6u);
  EXPECT_EQ(v.minor, 8u);
  EXPECT_EQ(v.patch, 0u);
  EXPECT_EQ(parseKernelRelease("").major, 0u);
  EXPECT_EQ(parseKernelRelease("99999999999999999999.1").major, 1'000'000u) << "no overflow";
  EXPECT_EQ(prettyNameOf("PRETTY_NAME='Arch Linux'\n"), "Arch Linux");
  EXPECT_EQ(prettyNameOf("PRETTY_NAME=Plain\n"), "Plain");
  EXPECT_EQ(prettyNameOf("NAME=x\n"), "");
  EXPECT_EQ(sgVersionText(30536), "3.5.36");
  EXPECT_EQ(sgVersionText(0), "");
}

TEST(SystemInfo, PciHostWithLoadableDriver) {
  FakeTree tree;
  const std::string pci = "sys/devices/pci0000:00/0000:00:01.1";
  tree.pciDevice(pci, "0x8086", "0x7010", "ata_piix");
  tree.scsiHost(0, pci + "/ata1", "ata_piix");
  SystemInfo info(tree.root, std::make_unique<FakeLookup>());
  EXPECT_EQ(info.hostAdapterName(0), "ata_piix, Intel Corporation 82371SB PIIX3 IDE [Natoma/Triton II]");
  const AdapterDriver d = info.adapterDriver(0);
  EXPECT_EQ(d.driver, "ata_piix (/lib/modules/6.1.0-18-amd64/kernel/drivers/ata/ata_piix.ko)");
  EXPECT_EQ(d.description, "SCSI low-level driver for Intel PIIX/ICH ATA controllers");
  EXPECT_EQ(d.company, "Andre Hedrick, Alan Cox");
  EXPECT_EQ(d.version, "2.13");

  // Without the hardware database the PCI ids name the device; without the
  // module tools the driver lines know only the module.
  SystemInfo bare(tree.root, std::make_unique<testing::NoHardwareLookup>());
  EXPECT_EQ(bare.hostAdapterName(0), "ata_piix, PCI device 8086:7010");
  const AdapterDriver b = bare.adapterDriver(0);
  EXPECT_EQ(b.driver, "ata_piix");
  EXPECT_EQ(b.description, "N/A");
  EXPECT_EQ(b.version, "N/A");
  // A host that does not exist has no name and no driver.
  EXPECT_FALSE(info.hostAdapterName(5));
  EXPECT_EQ(info.adapterDriver(5).driver, "N/A");
}

TEST(SystemInfo, UsbHostWithBuiltInDriver) {
  FakeTree tree;
  const std::string usb = "sys/devices/pci0000:00/0000:00:14.0/usb1/1-1";
  tree.file(usb + "/idVendor", "152d\n");
  tree.file(usb + "/idProduct", "2339\n");
  tree.file(usb + "/manufacturer", "JMicron\n");
  tree.file(usb + "/product", "USB to ATA/ATAPI Bridge\n");
  tree.link(usb + "/subsystem", "sys/bus/usb");
  tree.link(usb + "/1-1:1.0/subsystem", "sys/bus/usb");
  tree.link(usb + "/1-1:1.0/driver", "sys/bus/usb/drivers/usb-storage");
  tree.link("sys/bus/usb/drivers/usb-storage/module", "sys/module/usb_storage");
  tree.file("sys/module/usb_storage/version", "1.0\n");
  // The PCI controller above has its own driver, which is not the drive's.
  tree.link("sys/devices/pci0000:00/0000:00:14.0/driver", "sys/bus/pci/drivers/xhci_hcd");
  tree.scsiHost(6, usb + "/1-1:1.0", "usb-storage");
  SystemInfo info(tree.root, std::make_unique<FakeLookup>());
  EXPECT_EQ(info.hostAdapterName(6), "usb-storage, JMicron USB to ATA/ATAPI Bridge");
  const AdapterDriver d = info.adapterDriver(6);
  EXPECT_EQ(d.driver, "usb_storage (built-in)");
  EXPECT_EQ(d.description, "N/A");
  EXPECT_EQ(d.company, "N/A");
  EXPECT_EQ(d.version, "1.0") << "sysfs knows the version without the module tools";
}

}  // namespace
}  // namespace tmx
