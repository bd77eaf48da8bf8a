// A scratch folder that stands in for the root of a system: procfs, sysfs
// and /dev files, directories and links below it, removed afterwards; and
// the system's lookups that find nothing.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/hardware_lookup.h"
#include "results/scratch_dir.h"

namespace tmx::testing {

class FakeTree {
  ScratchDir scratch_;  // first: the root is its path

 public:
  const std::filesystem::path root = scratch_.path();

  void file(const std::string& path, const std::string& text) const {
    std::filesystem::create_directories((root / path).parent_path());
    std::ofstream(root / path) << text;
  }
  void dir(const std::string& path) const { std::filesystem::create_directories(root / path); }
  // A directory link, as sysfs has them; the target is made too.
  void link(const std::string& path, const std::string& target) const {
    std::filesystem::create_directories((root / path).parent_path());
    std::filesystem::create_directories(root / target);
    std::filesystem::create_directory_symlink(root / target, root / path);
  }
  // A link to anything outside the tree (a device node stand-in).
  void linkOut(const std::string& path, const std::filesystem::path& target) const {
    std::filesystem::create_directories((root / path).parent_path());
    std::filesystem::create_symlink(target, root / path);
  }
  // A SCSI host below the device `parent`, reachable as host<n>.
  void scsiHost(int n, const std::string& parent, const std::string& procName) const {
    const std::string dir = parent + "/host" + std::to_string(n);
    const std::string host = dir + "/scsi_host/host" + std::to_string(n);
    file(host + "/proc_name", procName + "\n");
    link(host + "/device", dir);
    link("sys/class/scsi_host/host" + std::to_string(n), host);
  }

  // A PCI device bound to `driver`, whose module is loaded (it has an init state).
  void pciDevice(const std::string& path, const std::string& vendor, const std::string& device,
                 const std::string& driver) const {
    file(path + "/vendor", vendor + "\n");
    file(path + "/device", device + "\n");
    link(path + "/subsystem", "sys/bus/pci");
    link(path + "/driver", "sys/bus/pci/drivers/" + driver);
    link("sys/bus/pci/drivers/" + driver + "/module", "sys/module/" + driver);
    file("sys/module/" + driver + "/initstate", "live\n");
  }
};

// A system whose hardware database and module tools know nothing.
class NoHardwareLookup final : public HardwareLookup {
 public:
  std::string pciName(const std::string&, const std::string&) const override { return {}; }
  std::optional<ModuleFacts> module(const std::string&) const override { return std::nullopt; }
};

// A path this process cannot open for writing, root or not, to link a device
// node to: a read-only file for a user, a read-only sysctl for root. None
// where neither refuses.
inline std::optional<std::filesystem::path> unwritablePath(const FakeTree& tree) {
  std::filesystem::path path = "/proc/sys/kernel/ostype";
  if (::geteuid() != 0) {
    tree.file("locked", "");
    path = tree.root / "locked";
    ::chmod(path.c_str(), 0444);
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (fd >= 0 || (error != EACCES && error != EPERM)) return std::nullopt;
  return path;
}

}  // namespace tmx::testing
