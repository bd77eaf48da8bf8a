#include "platform/settings_file.h"

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

namespace tmx {
namespace {

// Settings files are a few dozen bytes; anything far larger is not ours.
constexpr size_t kMaxSettingsFileSize = 64 * 1024;

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

std::optional<uint32_t> parseWord(std::string_view s) {
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

// Calls `onEntry(key, value)` for every "key=value" line, comments and blanks cut.
template <typename OnEntry>
void forEachEntry(std::string_view text, OnEntry onEntry) {
  while (!text.empty()) {
    const auto newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    line = trim(line.substr(0, line.find('#')));
    const auto equals = line.find('=');
    if (equals != std::string_view::npos) onEntry(trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
  }
}

}  // namespace

StoredSettingsWords parseSettingsText(std::string_view text) {
  StoredSettingsWords words;
  forEachEntry(text, [&](std::string_view key, std::string_view value) {
    if (key.size() != 6 || key.substr(0, 5) != "value" || key[5] < '0' || key[5] >= '0' + kSettingsWordCount) return;
    if (const auto word = parseWord(value)) words[static_cast<size_t>(key[5] - '0')] = word;
  });
  return words;
}

std::optional<bool> parseGraphAutoScale(std::string_view text) {
  std::optional<bool> choice;
  forEachEntry(text, [&](std::string_view key, std::string_view value) {
    if (key != "graphScale") return;
    if (value == "auto") choice = true;
    if (value == "fixed") choice = false;
  });
  return choice;
}

std::string formatSettingsText(const SettingsWordArray& words, bool graphAutoScale) {
  std::string text = "# Tachometrix options\n";
  for (size_t i = 0; i < words.size(); ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "value%zu=0x%08X\n", i, static_cast<unsigned>(words[i]));
    text += line;
  }
  text += graphAutoScale ? "graphScale=auto\n" : "graphScale=fixed\n";
  return text;
}

std::optional<std::filesystem::path> settingsFilePath(const char* xdgConfigHome, const char* home) {
  std::filesystem::path folder;
  if (xdgConfigHome && *xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute()) {
    folder = xdgConfigHome;
  } else if (home && *home) {
    folder = std::filesystem::path(home) / ".config";
  } else {
    return std::nullopt;
  }
  return folder / "tachometrix" / "settings.conf";
}

std::optional<std::filesystem::path> settingsFilePath() {
  return settingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::optional<std::string> readSettingsText(const std::filesystem::path& path) {
  // A FIFO or a device in its place would block the start: only a regular file is read.
  const int fd = openRegularFile(path);
  std::FILE* file = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
  if (!file) {
    if (fd >= 0) ::close(fd);
    return std::nullopt;
  }
  std::string text(kMaxSettingsFileSize, '\0');
  const size_t length = std::fread(text.data(), 1, text.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  text.resize(length);
  return text;
}

StoredSettingsWords readSettingsFile(const std::filesystem::path& path) {
  const auto text = readSettingsText(path);
  return text ? parseSettingsText(*text) : StoredSettingsWords{};
}

int writeSettingsFile(const std::filesystem::path& path, const SettingsWordArray& words, bool graphAutoScale) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) return ec.value();
  return writeFileAtomically(path, formatSettingsText(words, graphAutoScale));
}

}  // namespace tmx
