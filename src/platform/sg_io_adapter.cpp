#include "platform/sg_io_adapter.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>
#include <fstream>

#include "platform/aspi_codes.h"
#include "platform/system_info.h"

namespace tmx {
namespace fs = std::filesystem;

namespace {

std::string readFirstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string firstEntry(const fs::path& dir) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) return entry.path().filename().string();
  return {};
}

std::vector<SysfsScsiDevice> readSysfsDevices(const std::string& sysRoot) {
  std::vector<SysfsScsiDevice> devices;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(sysRoot) / "bus/scsi/devices", ec)) {
    SysfsScsiDevice device;
    if (!parseScsiAddress(entry.path().filename().string(), device)) continue;
    const std::string type = readFirstLine(entry.path() / "type");
    device.type = type.empty() ? -1 : std::atoi(type.c_str());
    device.sgName = firstEntry(entry.path() / "scsi_generic");
    device.blockName = firstEntry(entry.path() / "block");
    devices.push_back(device);
  }
  return devices;
}

bool hasSgNode(const std::string& devRoot) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(devRoot, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 2 && name.starts_with("sg") &&
        std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return true;
    }
  }
  return false;
}

// The sg node reaches every command; the sr node is the fallback when the sg
// driver is not loaded. A drive none of whose nodes opens is noted once;
// `firstDenied` keeps the first node of any drive refused for permission.
SgIoAdapter::Device openDevice(const SysfsScsiDevice& target, const std::string& devRoot, SgIoFindings& found,
                               std::string& firstDenied) {
  std::string denied, failed;
  for (const std::string& name : {target.sgName, target.blockName}) {
    if (name.empty()) continue;
    const std::string path = devRoot + "/" + name;
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    if (fd < 0 && errno == EROFS) fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0) {
      int reserved = 0;
      if (name == target.sgName && ::ioctl(fd, SG_GET_RESERVED_SIZE, &reserved) < 0) reserved = 0;
      ++found.opened;
      return {path, fd, reserved};
    }
    const int error = errno;
    const bool refused = error == EACCES || error == EPERM;
    if (refused && firstDenied.empty()) firstDenied = path;
    if (refused && denied.empty()) denied = path;
    if (!refused && failed.empty()) failed = path + ": " + std::strerror(error);
  }
  if (!denied.empty()) {
    found.denied.push_back(denied);
  } else if (!failed.empty()) {
    found.failed.push_back(failed);
  }
  return {};
}

}  // namespace

SgIoAdapter::SgIoAdapter(int kernelHost, std::string procName, std::vector<Device> devices)
    : kernelHost_(kernelHost), procName_(std::move(procName)), devices_(std::move(devices)) {}

SgIoAdapter::~SgIoAdapter() {
  for (auto& device : devices_) {
    if (device.fd >= 0) ::close(device.fd);
  }
}

std::string SgIoAdapter::identifier() const { return procName_.substr(0, 16); }

std::string SgIoAdapter::description() const {
  return "SCSI host " + std::to_string(kernelHost_) + " (" + procName_ + ")";
}

std::string SgIoAdapter::scsiLayerText(const SystemInfo& system) const {
  const std::string text = system.sgDriverText();
  if (!text.ends_with("N/A")) return text;
  // An sr node answers for the block layer's own SG_IO, not the sg driver.
  for (const auto& device : devices_) {
    int number = 0;
    if (device.fd >= 0 && ::ioctl(device.fd, SG_GET_VERSION_NUM, &number) == 0 && number > 0) {
      const bool sgNode = fs::path(device.path).filename().string().starts_with("sg");
      return (sgNode ? "Linux sg driver V" : "Linux block layer SG_IO V") + sgVersionText(number);
    }
  }
  return text;
}

std::optional<std::string> SgIoAdapter::hostAdapterName(const SystemInfo& system) const {
  return system.hostAdapterName(kernelHost_);
}

AdapterDriver SgIoAdapter::adapterDriver(const SystemInfo& system) const { return system.adapterDriver(kernelHost_); }

std::string SgIoAdapter::devicePath(uint8_t target) const {
  return target < devices_.size() ? devices_[target].path : std::string();
}

ScsiResult SgIoAdapter::execute(const ScsiCommand& command) {
  if (command.target >= devices_.size() || command.lun != 0 || devices_[command.target].fd < 0 ||
      command.cdb.empty()) {
    ScsiResult absent;
    absent.status = aspi::kNoDevice;
    absent.hostStatus = aspi::kHaSelectionTimeout;
    return absent;
  }
  const Device& device = devices_[command.target];
  if (command.direction == DataDirection::In && shouldClearReplyArea(command.cdb[0])) {
    std::memset(command.data.data(), 0, command.data.size());
  }
  std::span<uint8_t> transfer = command.data;
  std::vector<uint8_t> bounce(sgBounceLength(command.cdb[0], command.direction, command.data.size(),
                                             device.reservedSize));
  if (!bounce.empty()) transfer = bounce;
  std::array<uint8_t, 16> cdb{};
  std::copy(command.cdb.begin(), command.cdb.end(), cdb.begin());
  std::array<uint8_t, 64> sense{};

  sg_io_hdr_t hdr{};
  hdr.interface_id = 'S';
  hdr.cmdp = cdb.data();
  hdr.cmd_len = static_cast<unsigned char>(command.cdb.size());
  hdr.sbp = sense.data();
  hdr.mx_sb_len = static_cast<unsigned char>(sense.size());
  hdr.dxferp = transfer.data();
  hdr.dxfer_len = static_cast<unsigned int>(transfer.size());
  switch (command.direction) {
    case DataDirection::In: hdr.dxfer_direction = SG_DXFER_FROM_DEV; break;
    case DataDirection::Out: hdr.dxfer_direction = SG_DXFER_TO_DEV; break;
    case DataDirection::None: hdr.dxfer_direction = SG_DXFER_NONE; break;
  }
  hdr.timeout = static_cast<unsigned int>(command.timeout.count());

  SgIoOutcome outcome;
  if (::ioctl(device.fd, SG_IO, &hdr) < 0) {
    outcome.ioctlOk = false;
    outcome.error = errno;
  } else {
    outcome.status = hdr.status;
    outcome.hostStatus = hdr.host_status;
    outcome.driverStatus = hdr.driver_status;
    outcome.sense = std::span<const uint8_t>(sense.data(), std::min<size_t>(hdr.sb_len_wr, sense.size()));
    outcome.residual = hdr.resid;
    outcome.transferLength = hdr.dxfer_len;
  }
  ScsiResult result = mapSgIoOutcome(outcome);
  if (!bounce.empty()) {
    std::copy_n(bounce.begin(), command.data.size(), command.data.begin());
    result.transferred = -1;  // a residual of the larger buffer says nothing about the reply
  }
  return result;
}

SgIoScan openSgIoAdapters(const std::string& sysRoot, const std::string& devRoot) {
  SgIoScan scan;
  SgIoFindings& found = scan.findings;
  std::string firstDenied;
  std::error_code ec;
  found.sgDriverLoaded = fs::exists(fs::path(sysRoot) / "class/scsi_generic", ec);
  found.sgNodes = hasSgNode(devRoot);
  for (const auto& plan : planAdapters(readSysfsDevices(sysRoot))) {
    std::vector<SgIoAdapter::Device> devices;
    for (const auto& target : plan.targets) {
      devices.push_back(openDevice(target, devRoot, found, firstDenied));
      ++found.opticalDevices;
    }
    const std::string procName =
        readFirstLine(fs::path(sysRoot) / "class/scsi_host" / ("host" + std::to_string(plan.kernelHost)) / "proc_name");
    scan.adapters.push_back(std::make_unique<SgIoAdapter>(plan.kernelHost, procName, std::move(devices)));
  }
  if (!firstDenied.empty()) scan.messages.push_back(permissionHint(firstDenied));
  return scan;
}

}  // namespace tmx
