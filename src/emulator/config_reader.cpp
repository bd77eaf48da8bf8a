#include "emulator/config_reader.h"

#include <set>

#include "emulator/json_locations.h"

namespace tmx::emu {

void Reader::fail(const std::string& at, const std::string& problem) {
  if (!ok()) return;
  const std::string where = at.empty() ? std::string("top level") : at.substr(1);
  error_ = file_ + ":" + std::to_string(lineOf(text_, at)) + ": " + where + ": " + problem;
}

bool Reader::object(const json& j, const std::string& at, std::initializer_list<std::string_view> keys) {
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

void Reader::boolean(const json& o, const std::string& at, const char* key, bool& out) {
  if (!o.contains(key)) return;
  if (!o[key].is_boolean()) return fail(at + "/" + key, "expected true or false");
  out = o[key].get<bool>();
}

void Reader::text(const json& o, const std::string& at, const char* key, std::string& out, size_t maxLength) {
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

std::optional<Msf> parseMsf(const std::string& s) {
  unsigned m = 0, sec = 0, f = 0;
  char c1 = 0, c2 = 0;
  std::istringstream in(s);
  if (!(in >> m >> c1 >> sec >> c2 >> f) || c1 != ':' || c2 != ':' || !in.eof() || m > 99 || sec > 59 || f > 74) {
    return std::nullopt;
  }
  return Msf{static_cast<uint8_t>(m), static_cast<uint8_t>(sec), static_cast<uint8_t>(f)};
}

}  // namespace tmx::emu
