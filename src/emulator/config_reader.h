// The checked reading of an emulated-drive configuration: every key of an
// object checked against the allowed ones, every value against its type and
// range, the first problem kept as "FILE:LINE: where: problem".
#pragma once

#include <initializer_list>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "emulator/byte_order.h"
#include "emulator/disc.h"
#include "emulator/drive_profile.h"

namespace tmx::emu {

// The longest disc a configuration may describe: a BD-50.
inline constexpr int32_t kMaxConfigSectors = kBdDualLayerSectors;

// Walks the parsed document; the first problem found is kept with its line.
class Reader {
 public:
  using json = nlohmann::json;

  Reader(std::string_view file, std::string_view text) : file_(file), text_(text) {}

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  void fail(const std::string& at, const std::string& problem);
  // Fails for anything but an object, and for a key not in `keys`.
  bool object(const json& j, const std::string& at, std::initializer_list<std::string_view> keys);

  template <typename T>
  void number(const json& o, const std::string& at, const char* key, T& out, double min, double max) {
    if (!o.contains(key)) return;
    const json& v = o[key];
    const std::string path = at + "/" + key;
    if (!v.is_number()) return fail(path, "expected a number");
    const double d = v.get<double>();
    if (d < min || d > max) {
      std::ostringstream m;
      m << std::setprecision(12) << "value " << d << " out of range " << min << ".." << max;
      return fail(path, m.str());
    }
    out = static_cast<T>(d);
  }

  void boolean(const json& o, const std::string& at, const char* key, bool& out);
  // Printable ASCII of at most `maxLength` characters.
  void text(const json& o, const std::string& at, const char* key, std::string& out, size_t maxLength);

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
  std::string_view text_;
  std::string error_;
};

// "MM:SS:FF" with seconds below 60 and frames below 75.
std::optional<Msf> parseMsf(const std::string& s);

// The drive and disc objects of an entry, over the values already there.
void readProfile(Reader& r, const nlohmann::json& j, const std::string& at, DriveProfile& p);
void readDisc(Reader& r, const nlohmann::json& j, const std::string& at, DiscSpec& d);

}  // namespace tmx::emu
