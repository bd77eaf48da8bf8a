// The lookups of SystemInfo that need system libraries: the hardware
// database's name of a PCI device (libudev) and a kernel module's facts
// (libkmod). A build without those libraries finds nothing.
//
//   auto lookup = makeHardwareLookup();
//   lookup->pciName("0x8086", "0x7010");  // "Intel Corporation 82371SB PIIX3 IDE [Natoma/Triton II]"
//   lookup->module("ata_piix");           // its .ko path, description, authors, version
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace tmx {

// A kernel module as the module tools describe it; empty texts are unknown.
struct ModuleFacts {
  bool builtIn = false;
  std::string path;  // the .ko file, empty when built in or unknown
  std::string description;
  std::string author;
  std::string version;
};

class HardwareLookup {
 public:
  virtual ~HardwareLookup() = default;
  // vendor and device as sysfs gives them ("0x8086"); empty when unknown.
  virtual std::string pciName(const std::string& vendor, const std::string& device) const = 0;
  virtual std::optional<ModuleFacts> module(const std::string& name) const = 0;
};

// libudev's hardware database and libkmod when the build has them.
std::unique_ptr<HardwareLookup> makeHardwareLookup();

// Pure parts, tested on their own.
// The database's key of a PCI device: ("0x8086", "0x7010") ->
// "pci:v00008086d00007010"; empty when an id is missing or not 16-bit hex.
std::string pciModalias(const std::string& vendor, const std::string& device);
// "VENDOR MODEL" from the database's two names; the model alone without a
// vendor; empty without a model (a vendor's name alone names no device).
std::string pciNameOf(const std::string& vendorName, const std::string& modelName);
// Takes one modinfo entry: the first description and version count, every
// author is kept, joined with ", ".
void addModuleInfo(ModuleFacts& facts, const std::string& key, const std::string& value);

}  // namespace tmx
