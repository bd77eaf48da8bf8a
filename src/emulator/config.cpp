#include "emulator/config.h"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <set>

#include "emulator/config_reader.h"
#include "emulator/json_locations.h"
#include "emulator/media_profiles.h"
#include "emulator/presets.h"
#include "platform/regular_file.h"

namespace tmx::emu {
namespace {

using nlohmann::json;

// Far beyond any real configuration; keeps a hostile file from costing
// minutes and gigabytes (line locations grow with depth times size).
constexpr size_t kMaxConfigBytes = 1 << 20;
constexpr int kMaxConfigDepth = 64;

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
  if (r.ok() && drive.disc && !readsDisc(drive.profile, *drive.disc)) {
    const char* medium = drive.disc->family == DiscFamily::Bd ? "a BD" : drive.disc->family == DiscFamily::Dvd ? "a DVD" : "this CD";
    return r.fail(at + (j.contains("disc") ? "/disc" : j.contains("drive") ? "/drive" : ""),
                  std::string("the drive does not read ") + medium +
                      " (give it \"profiles\": \"dvd-rom\", \"dvd-writer\" or \"bd\")");
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
  const std::string file(fileName);
  if (text.size() > kMaxConfigBytes) return file + ":1: larger than 1 MiB";
  if (const int line = lineTooDeep(text, kMaxConfigDepth)) {
    return file + ":" + std::to_string(line) + ": nested deeper than " + std::to_string(kMaxConfigDepth) + " levels";
  }
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::parse_error& e) {
    int line = 1;
    for (size_t i = 0; i < std::min(e.byte, text.size() + 1) && i < text.size(); ++i) line += text[i] == '\n';
    std::string what = e.what();
    if (const size_t colon = what.find(": "); colon != std::string::npos) what = what.substr(colon + 2);
    return file + ":" + std::to_string(line) + ": invalid JSON: " + what;
  } catch (const json::exception& e) {
    // A number beyond double's range; the message quotes it, which finds its line.
    std::string what = e.what();
    if (const size_t bracket = what.find("] "); bracket != std::string::npos) what = what.substr(bracket + 2);
    int line = 1;
    const size_t open = what.find('\''), close = what.rfind('\'');
    if (open != std::string::npos && close > open) {
      const size_t at = text.find(what.substr(open + 1, close - open - 1));
      if (at != std::string_view::npos) line += static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
    }
    return file + ":" + std::to_string(line) + ": invalid JSON: " + what;
  }
  Reader r(fileName, text);
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
  std::string text;
  if (const int error = readRegularFile(path, kMaxConfigBytes, text)) {
    if (error == EFBIG) return path + ":1: larger than 1 MiB";
    if (error == kNotRegularFile || error == EISDIR) return path + ":1: not a regular file";
    return path + ":1: cannot open the emulated drive configuration: " + std::strerror(error);
  }
  return parseEmulatedConfig(text, path);
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
