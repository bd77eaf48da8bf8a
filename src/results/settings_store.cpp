#include "results/settings_store.h"

#include <cerrno>

namespace tmx {

AppSettings loadSettings(const std::optional<std::filesystem::path>& path) {
  SettingsWordArray words = kDefaultSettingsWords;
  if (path) {
    const StoredSettingsWords stored = readSettingsFile(*path);
    for (size_t i = 0; i < words.size(); ++i) words[i] = stored[i].value_or(words[i]);
  }
  return unpackSettings(words);
}

int saveSettings(const AppSettings& settings, const std::optional<std::filesystem::path>& path) {
  return path ? writeSettingsFile(*path, packSettings(settings)) : ENOENT;
}

}  // namespace tmx
