// Sends a few commands straight through the SG_IO adapters of this machine
// and checks the statuses, the converted sense and the data that come back:
// INQUIRY (and that bytes past a short reply read as zero), an unknown
// opcode, TEST UNIT READY and READ CAPACITY with and without a disc, READ(10)
// of an ISO image's volume descriptor and past the end, READ TOC.
//
//   tmx-sgio-check [--json FILE]
//
// Prints one line per check; with --json also writes every device, its
// checks and the scan's messages to FILE. Exits 0 when every check of at
// least one device passed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/aspi_codes.h"
#include "platform/sg_io_adapter.h"

using namespace tmx;
using nlohmann::ordered_json;

namespace {

struct Reply {
  ScsiResult result;
  std::vector<uint8_t> data;
};

Reply run(HostAdapter& adapter, uint8_t target, std::vector<uint8_t> cdb, DataDirection direction, size_t length) {
  Reply reply;
  reply.data.assign(length, 0xAA);  // stale bytes the adapter must clear (or the device overwrite)
  ScsiCommand command;
  command.target = target;
  command.cdb = cdb;
  command.direction = direction;
  command.data = reply.data;
  reply.result = adapter.execute(command);
  return reply;
}

std::string describe(const ScsiResult& r) {
  char text[96];
  std::snprintf(text, sizeof text, "status=%02X ha=%02X tgt=%02X sense=%X/%02X/%02X xfer=%lld", r.status,
                r.hostStatus, r.targetStatus, r.sense[2] & 0x0F, r.sense[12], r.sense[13],
                static_cast<long long>(r.transferred));
  return text;
}

std::string hex(const std::vector<uint8_t>& d, size_t from, size_t to) {
  std::string text = "bytes " + std::to_string(from) + "-" + std::to_string(to - 1) + ":";
  for (size_t i = from; i < to && i < from + 16; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, " %02X", d[i]);
    text += byte;
  }
  return text + (to > from + 16 ? " ..." : "");
}

bool senseIs(const ScsiResult& r, int key, int asc) {
  return r.status == aspi::kError && r.targetStatus == aspi::kTargetCheckCondition && r.senseLength == 18 &&
         (r.sense[0] & 0x7F) == 0x70 && (r.sense[2] & 0x0F) == key && r.sense[12] == asc;
}

uint32_t be32(const std::vector<uint8_t>& d, size_t at) {
  return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
}

// The checks of one device, printed as they pass or fail.
class DeviceChecks {
 public:
  DeviceChecks(int adapter, int target) {
    std::snprintf(where_, sizeof where_, "[%d:%d]", adapter, target);
    record_["adapter"] = adapter;
    record_["target"] = target;
    record_["checks"] = ordered_json::array();
  }
  void check(const char* what, bool ok, const std::string& detail) {
    std::printf("SGIO %s %-26s %s  %s\n", where_, what, ok ? "ok  " : "FAIL", detail.c_str());
    record_["checks"].push_back({{"check", what}, {"ok", ok}, {"detail", detail}});
    if (!ok) ++failures_;
  }
  ordered_json& record() { return record_; }
  int failures() const { return failures_; }

 private:
  char where_[16];
  ordered_json record_;
  int failures_ = 0;
};

// INQUIRY with a large allocation: the reply is 36 bytes or so, the rest must
// read as zero, not as the stale fill. Then an opcode no MMC device knows.
void checkIdentity(HostAdapter& adapter, uint8_t target, DeviceChecks& c) {
  Reply inq = run(adapter, target, {0x12, 0, 0, 0, 96, 0}, DataDirection::In, 96);
  const size_t inqLength = inq.data[4] + 5u;
  bool tailClear = true;
  for (size_t i = std::min<size_t>(inqLength, 96); i < 96; ++i) tailClear = tailClear && inq.data[i] == 0;
  const std::string id(reinterpret_cast<const char*>(&inq.data[8]), 28);
  c.check("INQUIRY", inq.result.status == aspi::kComplete && (inq.data[0] & 0x1F) == 5,
          describe(inq.result) + " '" + id + "'");
  c.check("INQUIRY reply tail cleared", tailClear, "additional length " + std::to_string(inq.data[4]));
  if (inq.result.transferred >= 0) {
    c.check("INQUIRY transfer length", inq.result.transferred == static_cast<int64_t>(inqLength),
            "moved " + std::to_string(inq.result.transferred) + ", reply " + std::to_string(inqLength));
  }
  Reply bad = run(adapter, target, {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}, DataDirection::None, 0);
  c.check("unknown opcode", senseIs(bad.result, 5, 0x20), describe(bad.result));
}

void checkEmpty(HostAdapter& adapter, uint8_t target, const Reply& tur, const Reply& cap, DeviceChecks& c) {
  c.check("TEST UNIT READY, no disc", senseIs(tur.result, 2, 0x3A), describe(tur.result));
  c.check("READ CAPACITY, no disc", senseIs(cap.result, 2, 0x3A), describe(cap.result));
  Reply sense = run(adapter, target, {0x03, 0, 0, 0, 18, 0}, DataDirection::In, 18);
  c.check("REQUEST SENSE, no disc",
          sense.result.status == aspi::kComplete && (sense.data[2] & 0x0F) == 2 && sense.data[12] == 0x3A,
          describe(sense.result));
}

// A data disc holding an ISO image.
void checkDisc(HostAdapter& adapter, uint8_t target, const Reply& cap, DeviceChecks& c) {
  const auto in = DataDirection::In;
  const uint32_t blocks = be32(cap.data, 0) + 1;
  c.check("READ CAPACITY", cap.result.status == aspi::kComplete && be32(cap.data, 4) == 2048,
          describe(cap.result) + " blocks=" + std::to_string(blocks) + " size=" + std::to_string(be32(cap.data, 4)));
  c.record()["blocks"] = blocks;

  // Sector 16 of an ISO image is the primary volume descriptor.
  Reply pvd = run(adapter, target, {0x28, 0, 0, 0, 0, 16, 0, 0, 1, 0}, in, 2048);
  c.check("READ(10) volume descriptor",
          pvd.result.status == aspi::kComplete && pvd.data[0] == 1 && std::memcmp(&pvd.data[1], "CD001", 5) == 0,
          describe(pvd.result));

  // A short reply right after a read: the kernel's buffer held sector data,
  // none of which may show past the reply.
  Reply after = run(adapter, target, {0x43, 0, 0, 0, 0, 0, 1, 0x03, 0x24, 0}, in, 804);
  const size_t afterLength = std::min<size_t>((size_t{after.data[0]} << 8 | after.data[1]) + 2, 804);
  bool afterClear = after.result.status == aspi::kComplete;
  for (size_t i = afterLength; i < 804; ++i) afterClear = afterClear && after.data[i] == 0;
  c.check("READ TOC tail after a read", afterClear, hex(after.data, afterLength, 804));

  const uint32_t past = blocks + 100;
  Reply beyond = run(adapter, target,
                     {0x28, 0, uint8_t(past >> 24), uint8_t(past >> 16), uint8_t(past >> 8), uint8_t(past), 0, 0, 1, 0},
                     in, 2048);
  c.check("READ(10) past the end", senseIs(beyond.result, 5, 0x21), describe(beyond.result));

  // READ TOC: one data track; its reply length is in the header.
  Reply toc = run(adapter, target, {0x43, 0, 0, 0, 0, 0, 1, 0x03, 0x24, 0}, in, 804);
  const size_t tocLength = (size_t{toc.data[0]} << 8 | toc.data[1]) + 2;
  c.check("READ TOC",
          toc.result.status == aspi::kComplete && toc.data[2] == 1 && toc.data[3] == 1 && (toc.data[5] & 0x04) != 0,
          describe(toc.result) + " length " + std::to_string(tocLength));
  if (toc.result.transferred >= 0) {
    c.check("READ TOC transfer length", toc.result.transferred == static_cast<int64_t>(tocLength),
            "moved " + std::to_string(toc.result.transferred) + ", reply " + std::to_string(tocLength));
  }
}

void checkDevice(HostAdapter& adapter, uint8_t target, DeviceChecks& c) {
  checkIdentity(adapter, target, c);
  // The first TEST UNIT READY may report a unit attention; the second tells.
  run(adapter, target, {0x00, 0, 0, 0, 0, 0}, DataDirection::None, 0);
  Reply tur = run(adapter, target, {0x00, 0, 0, 0, 0, 0}, DataDirection::None, 0);
  const bool media = tur.result.status == aspi::kComplete;
  c.record()["media"] = media;
  std::printf("SGIO [%d:%d] media=%s\n", c.record()["adapter"].get<int>(), target, media ? "yes" : "no");
  Reply cap = run(adapter, target, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, DataDirection::In, 8);
  if (media) {
    checkDisc(adapter, target, cap, c);
  } else {
    checkEmpty(adapter, target, tur, cap, c);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* jsonPath = argc == 3 && std::strcmp(argv[1], "--json") == 0 ? argv[2] : nullptr;
  if (argc != 1 && jsonPath == nullptr) {
    std::fprintf(stderr, "usage: tmx-sgio-check [--json FILE]\n");
    return 2;
  }
  SgIoScan scan = openSgIoAdapters();
  ordered_json out;
  out["messages"] = scan.messages;
  out["devices"] = ordered_json::array();
  for (const auto& message : scan.messages) std::printf("SGIO message: %s\n", message.c_str());
  int devices = 0, failures = 0;
  for (size_t a = 0; a < scan.adapters.size(); ++a) {
    auto* adapter = dynamic_cast<SgIoAdapter*>(scan.adapters[a].get());
    if (!adapter) continue;
    std::printf("SGIO adapter %zu: %s\n", a, adapter->description().c_str());
    for (size_t t = 0; t < adapter->devices().size(); ++t) {
      std::printf("SGIO [%zu:%zu] %s\n", a, t, adapter->devices()[t].path.c_str());
      DeviceChecks checks(static_cast<int>(a), static_cast<int>(t));
      checks.record()["path"] = adapter->devices()[t].path;
      checkDevice(*adapter, static_cast<uint8_t>(t), checks);
      failures += checks.failures();
      out["devices"].push_back(checks.record());
      ++devices;
    }
  }
  out["failures"] = failures;
  std::printf("SGIO summary: %d devices, %d failed checks\n", devices, failures);
  if (jsonPath) std::ofstream(jsonPath) << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  return failures == 0 && devices > 0 ? 0 : 1;
}
