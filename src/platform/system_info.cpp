#include "platform/system_info.h"

#include <sys/utsname.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef TMX_PROGRAM_VERSION
#define TMX_PROGRAM_VERSION "0.0.0"
#endif

namespace tmx {
namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.pop_back();
  }
  size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  return text.substr(start);
}

std::string readLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return trimmed(line);
}

std::string readWhole(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The name a sysfs link points at ("../../bus/pci" -> "pci"), empty when absent.
std::string linkName(const fs::path& link) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(link, ec);
  return ec ? std::string{} : target.filename().string();
}

fs::path resolved(const fs::path& path) {
  std::error_code ec;
  fs::path real = fs::canonical(path, ec);
  return ec ? fs::path{} : real;
}

std::string hexId(const std::string& sysfsId) {
  std::string id = sysfsId.rfind("0x", 0) == 0 ? sysfsId.substr(2) : sysfsId;
  for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return id;
}

// What the walk from a SCSI host up its device path finds.
struct HostChain {
  std::string procName;
  std::string parentName;  // PCI or USB device
  std::string moduleName;  // the nearest driver's module
};

std::string joined(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + " " + b;
}

}  // namespace

std::string programVersion() { return TMX_PROGRAM_VERSION; }

KernelVersion parseKernelRelease(const std::string& release) {
  KernelVersion v;
  unsigned long* parts[] = {&v.major, &v.minor, &v.patch};
  size_t at = 0;
  for (unsigned long* part : parts) {
    if (at >= release.size() || !std::isdigit(static_cast<unsigned char>(release[at]))) break;
    unsigned long n = 0;
    while (at < release.size() && std::isdigit(static_cast<unsigned char>(release[at]))) {
      n = n * 10 + static_cast<unsigned long>(release[at++] - '0');
      if (n > 1'000'000) n = 1'000'000;  // a lying file must not overflow
    }
    *part = n;
    if (at >= release.size() || release[at] != '.') break;
    ++at;
  }
  return v;
}

std::string prettyNameOf(const std::string& osRelease) {
  std::istringstream in(osRelease);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = trimmed(line.substr(12));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

std::string sgVersionText(int versionNumber) {
  if (versionNumber <= 0) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d", versionNumber / 10000, versionNumber / 100 % 100, versionNumber % 100);
  return text;
}

SystemInfo::SystemInfo(fs::path root, std::unique_ptr<HardwareLookup> lookup)
    : root_(std::move(root)), lookup_(std::move(lookup)) {}

std::string SystemInfo::operatingSystemText() const {
  std::string name = readLine(root_ / "proc/sys/kernel/ostype");
  std::string release = readLine(root_ / "proc/sys/kernel/osrelease");
  if (name.empty() || release.empty()) {
    utsname uts{};
    if (::uname(&uts) == 0) {
      if (name.empty()) name = uts.sysname;
      if (release.empty()) release = uts.release;
    }
  }
  std::string distribution = prettyNameOf(readWhole(root_ / "etc/os-release"));
  if (distribution.empty()) distribution = prettyNameOf(readWhole(root_ / "usr/lib/os-release"));
  const KernelVersion v = parseKernelRelease(release);
  char text[512];
  std::snprintf(text, sizeof text, "%s V%lu.%02lu.%lu %s", name.c_str(), v.major, v.minor, v.patch,
                distribution.c_str());
  return text;
}

std::string SystemInfo::sgDriverText() const {
  const std::string line = readLine(root_ / "proc/scsi/sg/version");
  const int number = std::atoi(line.c_str());
  const std::string version = sgVersionText(number);
  return "Linux sg driver V" + (version.empty() ? std::string("N/A") : version);
}

namespace {

HostChain walkHost(const fs::path& root, int kernelHost, const HardwareLookup& lookup) {
  HostChain chain;
  const fs::path hostDir = root / "sys/class/scsi_host" / ("host" + std::to_string(kernelHost));
  chain.procName = readLine(hostDir / "proc_name");
  if (chain.procName == "(null)") chain.procName.clear();
  const fs::path devices = resolved(root / "sys/devices");
  fs::path at = resolved(hostDir / "device");
  for (int depth = 0; !at.empty() && depth < 32 && at != devices && at.has_relative_path(); ++depth) {
    if (chain.moduleName.empty() && fs::exists(at / "driver")) {
      const fs::path driver = resolved(at / "driver");
      const std::string module = fs::exists(driver / "module") ? resolved(driver / "module").filename().string() : "";
      chain.moduleName = module.empty() ? driver.filename().string() : module;
    }
    if (chain.parentName.empty()) {
      const std::string subsystem = linkName(at / "subsystem");
      if (subsystem == "pci") {
        const std::string vendor = readLine(at / "vendor");
        const std::string device = readLine(at / "device");
        chain.parentName = lookup.pciName(vendor, device);
        if (chain.parentName.empty() && !vendor.empty()) {
          chain.parentName = "PCI device " + hexId(vendor) + ":" + hexId(device);
        }
      } else if (subsystem == "usb" && fs::exists(at / "idVendor")) {
        chain.parentName = joined(readLine(at / "manufacturer"), readLine(at / "product"));
        if (chain.parentName.empty()) {
          chain.parentName = "USB device " + hexId(readLine(at / "idVendor")) + ":" + hexId(readLine(at / "idProduct"));
        }
      }
    }
    if (!chain.parentName.empty() && !chain.moduleName.empty()) break;
    at = at.parent_path();
  }
  return chain;
}

}  // namespace

std::optional<std::string> SystemInfo::hostAdapterName(int kernelHost) const {
  const HostChain chain = walkHost(root_, kernelHost, *lookup_);
  if (chain.procName.empty() && chain.parentName.empty()) return std::nullopt;
  if (chain.procName.empty() || chain.parentName.empty()) return chain.procName + chain.parentName;
  return chain.procName + ", " + chain.parentName;
}

AdapterDriver SystemInfo::adapterDriver(int kernelHost) const {
  AdapterDriver result;
  const HostChain chain = walkHost(root_, kernelHost, *lookup_);
  if (chain.moduleName.empty()) return result;
  const fs::path sysModule = root_ / "sys/module" / chain.moduleName;
  ModuleFacts facts = lookup_->module(chain.moduleName).value_or(ModuleFacts{});
  // A loadable module has an init state; a built-in one only its parameters.
  if (facts.path.empty() && !fs::exists(sysModule / "initstate")) facts.builtIn = true;
  if (facts.version.empty()) facts.version = readLine(sysModule / "version");
  result.driver = chain.moduleName;
  if (!facts.path.empty()) {
    result.driver += " (" + facts.path + ")";
  } else if (facts.builtIn) {
    result.driver += " (built-in)";
  }
  if (!facts.description.empty()) result.description = facts.description;
  if (!facts.author.empty()) result.company = facts.author;
  if (!facts.version.empty()) result.version = facts.version;
  return result;
}

std::string SystemInfo::scsiLayerText(const HostAdapter* adapter) const {
  return adapter ? adapter->scsiLayerText(*this) : "N/A";
}

std::optional<std::string> SystemInfo::hostAdapterName(const HostAdapter* adapter) const {
  return adapter ? adapter->hostAdapterName(*this) : std::nullopt;
}

AdapterDriver SystemInfo::adapterDriver(const HostAdapter* adapter) const {
  return adapter ? adapter->adapterDriver(*this) : AdapterDriver{};
}

}  // namespace tmx
