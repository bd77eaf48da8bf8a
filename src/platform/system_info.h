// What the system says about itself for the drive check's general section:
// the operating system, the SCSI layer, the controller a drive hangs on and
// that controller's kernel driver. Everything is read below a configurable
// root (sysfs, procfs, /etc), so tests feed it a fake tree.
//
//   SystemInfo info;                       // the real machine
//   info.operatingSystemText();            // "Linux V6.01.0 Debian GNU/Linux 12 (bookworm)"
//   info.scsiLayerText(adapter);           // the adapter says: "Linux sg driver V3.5.36"
//
// Nothing here changes the system; a fact that cannot be found is "N/A" (or,
// for the controller's name, no value at all).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/hardware_lookup.h"
#include "platform/host_adapter.h"

namespace tmx {

class SystemInfo {
 public:
  explicit SystemInfo(std::filesystem::path root = "/", std::unique_ptr<HardwareLookup> lookup = makeHardwareLookup());

  // "%s V%lu.%02lu.%lu %s": kernel name, version numbers, distribution name
  // (empty, leaving a trailing blank, when /etc/os-release has none).
  std::string operatingSystemText() const;

  // What an adapter says of itself (HostAdapter::scsiLayerText and the
  // rest); "N/A", no name and no driver without an adapter.
  std::string scsiLayerText(const HostAdapter* adapter) const;
  std::optional<std::string> hostAdapterName(const HostAdapter* adapter) const;
  AdapterDriver adapterDriver(const HostAdapter* adapter) const;

  // What the kernel knows of one of its SCSI hosts, for the adapters that are one.
  std::optional<std::string> hostAdapterName(int kernelHost) const;
  AdapterDriver adapterDriver(int kernelHost) const;
  // "Linux sg driver V3.5.36" from procfs; "... VN/A" when sg is not loaded.
  std::string sgDriverText() const;

 private:
  std::filesystem::path root_;
  std::unique_ptr<HardwareLookup> lookup_;
};

// The program's version, as the build gives it.
std::string programVersion();

// Pure parts, tested on their own.
// "6.1.0-18-amd64" -> 6, 1, 0; missing numbers are 0.
struct KernelVersion {
  unsigned long major = 0, minor = 0, patch = 0;
};
KernelVersion parseKernelRelease(const std::string& release);
// The PRETTY_NAME value of an os-release text, quotes removed.
std::string prettyNameOf(const std::string& osRelease);
// "30536\t3.5.36 [20140603]" or the ioctl's 30536 -> "3.5.36".
std::string sgVersionText(int versionNumber);

}  // namespace tmx
