// The hardware database's key and name of a PCI device and a module's facts
// from its modinfo entries; then the system's own lookups, where this machine
// has a database and modules to ask.
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <filesystem>
#include <fstream>

#include "platform/hardware_lookup.h"

namespace tmx {
namespace {
namespace fs = std::filesystem;

TEST(HardwareLookup, PciKeyFromSysfsIds) {
  // The database's keys are upper-case hex, eight digits each.
  EXPECT_EQ(pciModalias("0x8086", "0x7010"), "pci:v00008086d00007010");
  EXPECT_EQ(pciModalias("0x1af4", "0x1004"), "pci:v00001AF4d00001004");
  EXPECT_EQ(pciModalias("1AF4", "1004"), "pci:v00001AF4d00001004") << "without the 0x";
  // Nothing to look up rather than the key of device 0000:0000.
  for (const auto& [vendor, device] : std::vector<std::pair<std::string, std::string>>{
           {"", "0x7010"}, {"0x8086", ""}, {"0x", "0x7010"}, {"0x808g", "0x7010"}, {"0x18086", "0x7010"},
           {"-0x1", "0x7010"}, {" 8086", "0x7010"}}) {
    EXPECT_EQ(pciModalias(vendor, device), "") << "'" << vendor << "' '" << device << "'";
  }
}

TEST(HardwareLookup, NamesAndModuleFacts) {
  EXPECT_EQ(pciNameOf("Intel Corporation", "82371SB PIIX3 IDE [Natoma/Triton II]"),
            "Intel Corporation 82371SB PIIX3 IDE [Natoma/Triton II]");
  EXPECT_EQ(pciNameOf("", "Virtio SCSI"), "Virtio SCSI");
  EXPECT_EQ(pciNameOf("Red Hat, Inc.", ""), "") << "a vendor alone names no device";

  ModuleFacts facts;
  for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
           {"version", "2.13"}, {"author", "Andre Hedrick"}, {"description", "SCSI low-level driver"},
           {"alias", "pci:v00008086d00007010sv*"}, {"author", "Alan Cox"}, {"description", "a second one"},
           {"version", "9.9"}, {"license", "GPL"}}) {
    addModuleInfo(facts, key, value);
  }
  EXPECT_EQ(facts.description, "SCSI low-level driver");
  EXPECT_EQ(facts.author, "Andre Hedrick, Alan Cox");
  EXPECT_EQ(facts.version, "2.13");
  EXPECT_EQ(facts.path, "") << "modinfo entries do not say where the file is";
}

// The machine's own database and modules: skipped where it has neither.
TEST(HardwareLookup, SystemLookupsAnswerForThisMachine) {
  const auto lookup = makeHardwareLookup();
  EXPECT_EQ(lookup->pciName("", ""), "");
  EXPECT_EQ(lookup->pciName("0xzz", "0x7010"), "");
  const auto unknown = lookup->module("tmx_no_such_module");
  if (unknown) {
    EXPECT_EQ(unknown->path, "");
    EXPECT_FALSE(unknown->builtIn);
    EXPECT_EQ(unknown->description, "");
  }

  bool asked = false;
  if (fs::exists("/usr/lib/udev/hwdb.bin") || fs::exists("/etc/udev/hwdb.bin")) {
    // Every database knows the PIIX3 IDE controller QEMU emulates.
    const std::string name = lookup->pciName("0x8086", "0x7010");
    if (!name.empty()) {
      EXPECT_NE(name.find("PIIX3"), std::string::npos) << name;
      asked = true;
    }
  }
  utsname uts{};
  ::uname(&uts);
  const fs::path modules = fs::path("/lib/modules") / uts.release;
  std::ifstream loaded("/proc/modules");
  std::string name;
  if (fs::exists(modules / "modules.dep") && loaded >> name) {
    // A loaded module has its file under the running kernel's modules.
    const auto facts = lookup->module(name);
    if (!facts) GTEST_SKIP() << "built without libkmod";
    EXPECT_TRUE(facts->path.starts_with(modules.string())) << name << ": " << facts->path;
    EXPECT_TRUE(fs::exists(facts->path)) << facts->path;
    EXPECT_FALSE(facts->builtIn);
    asked = true;
  }
  if (!asked) GTEST_SKIP() << "neither a hardware database nor the running kernel's modules here";
}

}  // namespace
}  // namespace tmx
