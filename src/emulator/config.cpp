#include "emulator/config.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "emulator/iso_image.h"
#include "emulator/json_locations.h"
#include "emulator/presets.h"

namespace tmx::emu {
namespace {

using nlohmann::json;

// Walks the parsed document; the first problem found is kept with its line.
class Reader {
 public:
  Reader(std::string_view file, std::map<std::string, int> lines) : file_(file), lines_(std::move(lines)) {}

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  void fail(const std::string& at, const std::string& problem) {
    if (!ok()) return;
    const std::string where = at.empty() ? std::string("top level") : at.substr(1);
    error_ = file_ + ":" + std::to_string(lineOf(lines_, at)) + ": " + where + ": " + problem;
  }

  bool object(const json& j, const std::string& at, std::initializer_list<std::string_view> keys) {
    if (!j.is_object()) {
      fail(at, "expected an object");
      return false;
    }
    const std::set<std::string_view> allowed(keys);
    for (auto it = j.begin(); it != j.end(); ++it) {
      if (!allowed.contains(it.key())) {
        fail(at + "/" + it.key(), "unknown key \"" + it.key() + "\"");
        return false;
      }
    }
    return true;
  }

  template <typename T>
  void number(const json& o, const std::string& at, const char* key, T& out, double min, double max) {
    if (!o.contains(key)) return;
    const json& v = o[key];
    const std::string path = at + "/" + key;
    if (!v.is_number()) return fail(path, "expected a number");
    const double d = v.get<double>();
    if (d < min || d > max) {
      std::ostringstream m;
      m << "value " << d << " out of range " << min << ".." << max;
      return fail(path, m.str());
    }
    out = static_cast<T>(d);
  }

  void boolean(const json& o, const std::string& at, const char* key, bool& out) {
    if (!o.contains(key)) return;
    if (!o[key].is_boolean()) return fail(at + "/" + key, "expected true or false");
    out = o[key].get<bool>();
  }

  void text(const json& o, const std::string& at, const char* key, std::string& out, size_t maxLength) {
    if (!o.contains(key)) return;
    const std::string path = at + "/" + key;
    if (!o[key].is_string()) return fail(path, "expected a text");
    const std::string s = o[key].get<std::string>();
    if (s.size() > maxLength) return fail(path, "longer than " + std::to_string(maxLength) + " characters");
    for (char c : s) {
      if (c < 0x20 || c >= 0x7F) return fail(path, "only printable ASCII characters are allowed");
    }
    out = s;
  }

  template <typename E>
  void choice(const json& o, const std::string& at, const char* key, E& out,
              std::initializer_list<std::pair<std::string_view, E>> options) {
    if (!o.contains(key)) return;
    const std::string path = at + "/" + key;
    if (!o[key].is_string()) return fail(path, "expected a text");
    const std::string s = o[key].get<std::string>();
    std::string names;
    for (const auto& [name, value] : options) {
      if (s == name) {
        out = value;
        return;
      }
      names += (names.empty() ? "" : ", ") + std::string(name);
    }
    fail(path, "unknown value \"" + s + "\" (expected " + names + ")");
  }

 private:
  std::string file_;
  std::map<std::string, int> lines_;
  std::string error_;
};

std::optional<Msf> parseMsf(const std::string& s) {
  unsigned m = 0, sec = 0, f = 0;
  char c1 = 0, c2 = 0;
  std::istringstream in(s);
  if (!(in >> m >> c1 >> sec >> c2 >> f) || c1 != ':' || c2 != ':' || !in.eof() || m > 99 || sec > 59 || f > 74) {
    return std::nullopt;
  }
  return Msf{static_cast<uint8_t>(m), static_cast<uint8_t>(sec), static_cast<uint8_t>(f)};
}

void readProfile(Reader& r, const json& j, const std::string& at, DriveProfile& p) {
  if (!r.object(j, at, {"vendor", "product", "revision", "rotation", "maxSpeed", "pcavRimSpeed", "zones", "speeds",
                        "bufferKiB", "interfaceMBps", "commandOverheadUs", "seekSettleMs", "seekStrokeMs",
                        "spindleAccelRpmPerS", "spinUpBaseMs", "spinUpAccelRpmPerS", "spinDownRpmPerS",
                        "idleSpinDownMs", "accurateStream", "audioJitterFrames", "c2Pointers", "readsCdda",
                        "raw2352Read10", "reject"})) {
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
  if (j.contains("speeds")) {
    const std::string path = at + "/speeds";
    if (!j["speeds"].is_array() || j["speeds"].empty()) return r.fail(path, "expected a list of speeds in X");
    p.speedSteps.clear();
    for (size_t i = 0; i < j["speeds"].size(); ++i) {
      const json& v = j["speeds"][i];
      if (!v.is_number_integer() || v.get<int>() < 1 || v.get<int>() > 72) {
        return r.fail(path + "/" + std::to_string(i), "expected a whole speed in X, 1..72");
      }
      p.speedSteps.push_back(v.get<int>());
    }
  }
  if (j.contains("zones")) {
    const std::string path = at + "/zones";
    if (!j["zones"].is_array()) return r.fail(path, "expected a list of zones");
    p.zones.clear();
    for (size_t i = 0; i < j["zones"].size(); ++i) {
      const std::string zp = path + "/" + std::to_string(i);
      const json& z = j["zones"][i];
      if (!r.object(z, zp, {"fromMinute", "speed"})) return;
      double minute = 0, speed = 0;
      r.number(z, zp, "fromMinute", minute, 0, 100);
      r.number(z, zp, "speed", speed, 1, 72);
      if (!z.contains("speed")) return r.fail(zp, "a zone needs a speed");
      p.zones.push_back(SpeedZone{static_cast<int32_t>(minute * 4500), speed});
    }
  }
  if (j.contains("reject")) {
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
}

void readDisc(Reader& r, const json& j, const std::string& at, DiscSpec& d) {
  if (!r.object(j, at,
                {"content", "medium", "minutes", "sectors", "tracks", "silent", "seed", "atip", "damage", "iso"})) {
    return;
  }
  if (j.contains("iso")) {
    if (!j["iso"].is_string()) return r.fail(at + "/iso", "expected the name of an image file");
    d.isoPath = j["iso"].get<std::string>();
    if (!IsoImage(d.isoPath).ok()) return r.fail(at + "/iso", "cannot open the image file " + d.isoPath);
  }
  r.choice<DiscContent>(j, at, "content", d.content,
                        {{"audio", DiscContent::Audio}, {"data", DiscContent::Data}, {"mixed", DiscContent::Mixed},
                         {"blank", DiscContent::Blank}});
  r.choice<Medium>(j, at, "medium", d.medium,
                   {{"pressed", Medium::Pressed}, {"cd-r", Medium::Recordable}, {"cd-rw", Medium::Rewritable}});
  double minutes = 0;
  r.number(j, at, "minutes", minutes, 1, 99);
  if (minutes > 0) d.sectors = static_cast<int32_t>(minutes * 4500);
  r.number(j, at, "sectors", d.sectors, 300, 99 * 4500);
  r.number(j, at, "tracks", d.tracks, 1, 99);
  r.boolean(j, at, "silent", d.silent);
  r.number(j, at, "seed", d.seed, 0, 9e15);
  if (j.contains("atip")) {
    const std::string ap = at + "/atip";
    const json& a = j["atip"];
    if (!r.object(a, ap, {"leadIn", "lastLeadOut", "a1"})) return;
    Atip atip = d.atip.value_or(Atip{});
    for (const auto& [key, field] : {std::pair{"leadIn", &atip.leadInStart}, {"lastLeadOut", &atip.lastLeadOutStart}}) {
      if (!a.contains(key)) continue;
      const auto msf = a[key].is_string() ? parseMsf(a[key].get<std::string>()) : std::nullopt;
      if (!msf) return r.fail(ap + "/" + key, "expected a time MM:SS:FF");
      *field = *msf;
    }
    r.number(a, ap, "a1", atip.a1, 0, 255);
    d.atip = atip;
    if (d.medium == Medium::Pressed) d.medium = Medium::Recordable;
  }
  if (j.contains("damage")) {
    const std::string dp = at + "/damage";
    if (!j["damage"].is_array()) return r.fail(dp, "expected a list of damaged regions");
    d.damage.clear();
    for (size_t i = 0; i < j["damage"].size(); ++i) {
      const std::string rp = dp + "/" + std::to_string(i);
      const json& g = j["damage"][i];
      if (!r.object(g, rp, {"start", "length", "density", "unreadable"})) return;
      DamageRegion region;
      r.number(g, rp, "start", region.start, 0, 99 * 4500);
      r.number(g, rp, "length", region.length, 1, 99 * 4500);
      r.number(g, rp, "density", region.density, 0, 1);
      r.boolean(g, rp, "unreadable", region.unreadable);
      if (!g.contains("start") || !g.contains("length")) return r.fail(rp, "a damaged region needs start and length");
      d.damage.push_back(region);
    }
  }
  if ((d.medium != Medium::Pressed || d.content == DiscContent::Blank) && !d.atip) d.atip = Atip{};
  if (d.content == DiscContent::Blank && d.medium == Medium::Pressed) d.medium = Medium::Recordable;
}

void readEntry(Reader& r, const json& j, const std::string& at, EmulatedConfig& config, std::set<int>& used) {
  if (!r.object(j, at, {"target", "preset", "drive", "disc", "faults", "seed", "disk"})) return;
  int target = -1;
  if (!j.contains("target")) return r.fail(at, "each entry needs a \"target\" (0..15)");
  r.number(j, at, "target", target, 0, 15);
  if (!r.ok()) return;
  if (!used.insert(target).second) return r.fail(at + "/target", "target " + std::to_string(target) + " used twice");

  if (j.contains("disk")) {
    if (j.contains("preset") || j.contains("drive") || j.contains("disc")) {
      return r.fail(at + "/disk", "a disk entry cannot also describe a CD drive");
    }
    EmulatedDiskConfig disk{static_cast<uint8_t>(target), {}};
    const std::string kp = at + "/disk";
    if (!r.object(j["disk"], kp, {"vendor", "product", "revision"})) return;
    r.text(j["disk"], kp, "vendor", disk.identity.vendor, 8);
    r.text(j["disk"], kp, "product", disk.identity.product, 16);
    r.text(j["disk"], kp, "revision", disk.identity.revision, 4);
    config.disks.push_back(disk);
    return;
  }

  EmulatedDriveConfig drive;
  drive.target = static_cast<uint8_t>(target);
  drive.disc = DiscSpec{};
  if (j.contains("preset")) {
    const std::string pp = at + "/preset";
    const auto preset = j["preset"].is_string() ? findPreset(j["preset"].get<std::string>()) : std::nullopt;
    if (!preset) {
      std::string names;
      for (const Preset& p : presets()) names += (names.empty() ? "" : ", ") + p.name;
      return r.fail(pp, "unknown preset (expected one of " + names + ")");
    }
    drive.profile = preset->profile;
    drive.disc = preset->disc;
    drive.seed = preset->seed;
  }
  if (j.contains("drive")) readProfile(r, j["drive"], at + "/drive", drive.profile);
  if (j.contains("disc")) {
    if (j["disc"].is_null()) {
      drive.disc.reset();
    } else {
      DiscSpec d = drive.disc.value_or(DiscSpec{});
      readDisc(r, j["disc"], at + "/disc", d);
      drive.disc = d;
    }
  }
  r.number(j, at, "seed", drive.seed, 0, 9e15);
  if (j.contains("faults")) {
    const std::string fp = at + "/faults";
    if (!j["faults"].is_array()) return r.fail(fp, "expected a list of fault texts");
    for (size_t i = 0; i < j["faults"].size(); ++i) {
      const json& v = j["faults"][i];
      const std::string ip = fp + "/" + std::to_string(i);
      if (!v.is_string()) return r.fail(ip, "expected a fault text such as \"read-error@1000\"");
      auto parsed = parseFault(v.get<std::string>());
      if (auto* error = std::get_if<std::string>(&parsed)) return r.fail(ip, *error);
      drive.faults.push_back(std::get<Fault>(parsed));
    }
  }
  config.drives.push_back(std::move(drive));
}

}  // namespace

std::variant<EmulatedConfig, std::string> parseEmulatedConfig(std::string_view text, std::string_view fileName) {
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::parse_error& e) {
    int line = 1;
    for (size_t i = 0; i < std::min(e.byte, text.size() + 1) && i < text.size(); ++i) line += text[i] == '\n';
    std::string what = e.what();
    if (const size_t colon = what.find(": "); colon != std::string::npos) what = what.substr(colon + 2);
    return std::string(fileName) + ":" + std::to_string(line) + ": invalid JSON: " + what;
  } catch (const json::out_of_range& e) {
    // A number too large for any type ("1E400"): the message quotes it, so
    // its first occurrence gives the line.
    std::string what = e.what();
    if (const size_t colon = what.find("] "); colon != std::string::npos) what = what.substr(colon + 2);
    const size_t open = what.find('\'');
    const size_t close = open == std::string::npos ? open : what.find('\'', open + 1);
    const size_t at = close == std::string::npos ? 0 : text.find(what.substr(open + 1, close - open - 1));
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(at, text.size())), '\n');
    return std::string(fileName) + ":" + std::to_string(line) + ": invalid JSON: " + what;
  }
  Reader r(fileName, jsonLines(text));
  EmulatedConfig config;
  if (!r.object(doc, "", {"adapter", "drives"})) return r.error();
  r.text(doc, "", "adapter", config.identifier, 16);
  if (!doc.contains("drives") || !doc["drives"].is_array()) {
    r.fail("/drives", "expected a list \"drives\" of emulated devices");
    return r.error();
  }
  std::set<int> used;
  for (size_t i = 0; i < doc["drives"].size() && r.ok(); ++i) {
    readEntry(r, doc["drives"][i], "/drives/" + std::to_string(i), config, used);
  }
  if (!r.ok()) return r.error();
  return config;
}

std::variant<EmulatedConfig, std::string> loadEmulatedConfig(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return path + ": cannot open the emulated drive configuration";
  std::ostringstream text;
  text << in.rdbuf();
  return parseEmulatedConfig(text.str(), path);
}

std::unique_ptr<EmulatedAdapter> buildAdapter(const EmulatedConfig& config, Clock& clock) {
  auto adapter = std::make_unique<EmulatedAdapter>(clock, config.identifier);
  for (const EmulatedDriveConfig& d : config.drives) {
    DriveModel* model = adapter->attachDrive(d.target, d.profile, d.disc, d.seed);
    if (model == nullptr) continue;
    for (const Fault& f : d.faults) model->faults().add(f);
  }
  for (const EmulatedDiskConfig& k : config.disks) adapter->attachDisk(k.target, k.identity);
  return adapter;
}

}  // namespace tmx::emu
