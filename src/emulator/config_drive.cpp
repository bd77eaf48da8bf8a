// The "drive" object of a configuration entry.
#include "emulator/config_reader.h"
#include "emulator/faults.h"
#include "emulator/media_profiles.h"

namespace tmx::emu {

using nlohmann::json;

namespace {

void readSpeeds(Reader& r, const json& j, const std::string& at, DriveProfile& p) {
  const std::string path = at + "/speeds";
  if (!j["speeds"].is_array() || j["speeds"].empty()) return r.fail(path, "expected a list of speeds in X");
  p.speedSteps.clear();
  for (size_t i = 0; i < j["speeds"].size(); ++i) {
    const json& v = j["speeds"][i];
    // Checked as the parsed 64-bit value: narrowing first would wrap 2^32+1 to 1.
    const bool whole = v.is_number_unsigned() || v.is_number_integer();
    const int64_t speed = v.is_number_unsigned() ? (v.get<uint64_t>() > 72 ? 0 : static_cast<int64_t>(v.get<uint64_t>()))
                          : whole                ? v.get<int64_t>()
                                                 : 0;
    if (speed < 1 || speed > 72) return r.fail(path + "/" + std::to_string(i), "expected a whole speed in X, 1..72");
    p.speedSteps.push_back(static_cast<int>(speed));
  }
}

void readZones(Reader& r, const json& j, const std::string& at, DriveProfile& p) {
  const std::string path = at + "/zones";
  if (!j["zones"].is_array()) return r.fail(path, "expected a list of zones");
  p.zones.clear();
  for (size_t i = 0; i < j["zones"].size(); ++i) {
    const std::string zp = path + "/" + std::to_string(i);
    const json& z = j["zones"][i];
    if (!r.object(z, zp, {"fromMinute", "fromLba", "speed"})) return;
    double minute = 0, speed = 0;
    int32_t lba = 0;
    r.number(z, zp, "fromMinute", minute, 0, 100);
    r.number(z, zp, "fromLba", lba, 0, kMaxConfigSectors);
    r.number(z, zp, "speed", speed, 1, 72);
    if (!z.contains("speed")) return r.fail(zp, "a zone needs a speed");
    if (z.contains("fromMinute") && z.contains("fromLba")) return r.fail(zp, "a zone starts at a minute or an LBA");
    p.zones.push_back(SpeedZone{z.contains("fromLba") ? lba : static_cast<int32_t>(minute * 4500), speed});
  }
}

void readRejected(Reader& r, const json& j, const std::string& at, DriveProfile& p) {
  const std::string path = at + "/reject";
  if (!j["reject"].is_array()) return r.fail(path, "expected a list of opcodes in hex, e.g. [\"0B\", \"D8\"]");
  for (size_t i = 0; i < j["reject"].size(); ++i) {
    const json& v = j["reject"][i];
    const auto parsed = v.is_string() ? parseFault("hang@" + v.get<std::string>()) : std::variant<Fault, std::string>{};
    if (!v.is_string() || !std::holds_alternative<Fault>(parsed)) {
      return r.fail(path + "/" + std::to_string(i), "expected an opcode in hex, e.g. \"D8\"");
    }
    p.rejectedOpcodes.set(static_cast<size_t>(std::get<Fault>(parsed).first));
  }
}

// What GET CONFIGURATION lists and the DVD and BD knobs.
void readMmcFeatures(Reader& r, const json& j, const std::string& at, DriveProfile& p) {
  if (j.contains("profiles")) {
    DriveClass driveClass = DriveClass::None;
    r.choice<DriveClass>(j, at, "profiles", driveClass,
                         {{"none", DriveClass::None}, {"cd-rom", DriveClass::CdRom}, {"cd-writer", DriveClass::CdWriter},
                          {"dvd-rom", DriveClass::DvdRom}, {"dvd-writer", DriveClass::DvdWriter}, {"bd", DriveClass::Bd}});
    p.mmcProfiles = classProfiles(driveClass);
    // DVD and BD drives stream unless told otherwise below.
    p.streaming = listsDvd(p) || listsBd(p);
  }
  r.boolean(j, at, "streaming", p.streaming);
  r.text(j, at, "serialNumber", p.serialNumber, 32);
  r.number(j, at, "layerJumpMs", p.layerJumpMs, 0, 1000);
}

// What a ripper asks of the drive, in "ripping": its cache, C2 pointers,
// sub-channel per read command, sectors outside the disc, speed control.
void readRipping(Reader& r, const json& j, const std::string& drive, RippingTraits& t) {
  const std::string at = drive + "/ripping";
  if (!r.object(j, at, {"cacheKiB", "cacheFlushSectors", "c2BlockErrorByte", "c2ShiftBytes", "c2MissPercent",
                        "c2FalsePercent", "readCdMsf", "subReadCd", "subReadCdMsf", "subReadCdda", "leadInSectors",
                        "leadOutSectors", "ignoresSpeed", "speedCap"})) {
    return;
  }
  double cacheKiB = t.cacheBytes / 1024.0;
  r.number(j, at, "cacheKiB", cacheKiB, 0, 65536);
  t.cacheBytes = static_cast<uint32_t>(cacheKiB * 1024);
  r.number(j, at, "cacheFlushSectors", t.cacheFlushSectors, 0, kMaxConfigSectors);
  r.boolean(j, at, "c2BlockErrorByte", t.c2BlockErrorByte);
  r.number(j, at, "c2ShiftBytes", t.c2ShiftBytes, 0, 64);
  r.number(j, at, "c2MissPercent", t.c2MissPercent, 0, 100);
  r.number(j, at, "c2FalsePercent", t.c2FalsePercent, 0, 100 - t.c2MissPercent);
  r.boolean(j, at, "readCdMsf", t.readCdMsf);
  const std::initializer_list<std::pair<std::string_view, uint8_t>> subs{
      {"none", 0}, {"raw", kSubRawPw}, {"q", kSubFormattedQ}, {"raw+q", kSubRawPw | kSubFormattedQ}};
  r.choice<uint8_t>(j, at, "subReadCd", t.subReadCd, subs);
  r.choice<uint8_t>(j, at, "subReadCdMsf", t.subReadCdMsf, subs);
  r.choice<uint8_t>(j, at, "subReadCdda", t.subReadCdda, subs);
  r.number(j, at, "leadInSectors", t.leadInSectors, 0, 100);
  r.number(j, at, "leadOutSectors", t.leadOutSectors, 0, 100);
  r.boolean(j, at, "ignoresSpeed", t.ignoresSpeed);
  r.number(j, at, "speedCap", t.speedCapX, 0, 72);
}

}  // namespace

void readProfile(Reader& r, const json& j, const std::string& at, DriveProfile& p) {
  if (!r.object(j, at, {"vendor", "product", "revision", "rotation", "maxSpeed", "pcavRimSpeed", "zones", "speeds",
                        "bufferKiB", "interfaceMBps", "commandOverheadUs", "seekSettleMs", "seekStrokeMs",
                        "spindleAccelRpmPerS", "spinUpBaseMs", "spinUpAccelRpmPerS", "spinDownRpmPerS",
                        "idleSpinDownMs", "accurateStream", "audioJitterFrames", "c2Pointers", "readsCdda",
                        "raw2352Read10", "reject", "profiles", "streaming", "serialNumber", "layerJumpMs", "ripping"})) {
    return;
  }
  r.text(j, at, "vendor", p.vendor, 8);
  r.text(j, at, "product", p.product, 16);
  r.text(j, at, "revision", p.revision, 4);
  r.choice<Rotation>(j, at, "rotation", p.rotation,
                     {{"clv", Rotation::Clv}, {"cav", Rotation::Cav}, {"pcav", Rotation::Pcav}, {"zclv", Rotation::Zclv}});
  r.number(j, at, "maxSpeed", p.maxSpeedX, 1, 72);
  r.number(j, at, "pcavRimSpeed", p.pcavRimSpeedX, 1, 100);
  double bufferKiB = p.bufferBytes / 1024.0, mbps = p.interfaceBytesPerSecond / 1e6,
         overheadUs = static_cast<double>(p.commandOverheadNs) / 1000.0;
  r.number(j, at, "bufferKiB", bufferKiB, 0, 65536);
  r.number(j, at, "interfaceMBps", mbps, 0.1, 1000);
  r.number(j, at, "commandOverheadUs", overheadUs, 0, 100000);
  p.bufferBytes = static_cast<uint32_t>(bufferKiB * 1024);
  p.interfaceBytesPerSecond = mbps * 1e6;
  p.commandOverheadNs = static_cast<int64_t>(overheadUs * 1000);
  r.number(j, at, "seekSettleMs", p.seekSettleMs, 0, 1000);
  r.number(j, at, "seekStrokeMs", p.seekStrokeMs, 0, 2000);
  r.number(j, at, "spindleAccelRpmPerS", p.spindleAccelRpmPerS, 100, 1e6);
  r.number(j, at, "spinUpBaseMs", p.spinUpBaseMs, 0, 10000);
  r.number(j, at, "spinUpAccelRpmPerS", p.spinUpAccelRpmPerS, 100, 1e6);
  r.number(j, at, "spinDownRpmPerS", p.spinDownRpmPerS, 100, 1e6);
  r.number(j, at, "idleSpinDownMs", p.idleSpinDownMs, 0, 3.6e6);
  r.boolean(j, at, "accurateStream", p.accurateStream);
  r.number(j, at, "audioJitterFrames", p.audioJitterFrames, 0, 5000);
  r.boolean(j, at, "c2Pointers", p.c2Pointers);
  r.boolean(j, at, "readsCdda", p.readsCdda);
  r.boolean(j, at, "raw2352Read10", p.raw2352Read10);
  if (j.contains("speeds")) readSpeeds(r, j, at, p);
  if (j.contains("zones")) readZones(r, j, at, p);
  if (j.contains("reject")) readRejected(r, j, at, p);
  readMmcFeatures(r, j, at, p);
  if (j.contains("ripping")) readRipping(r, j["ripping"], at, p.ripping);
}

}  // namespace tmx::emu
