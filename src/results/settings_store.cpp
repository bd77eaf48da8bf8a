#include "results/settings_store.h"

#include <cerrno>

namespace tmx {

AppSettings loadSettings(const std::optional<std::filesystem::path>& path) {
  SettingsWordArray words = kDefaultSettingsWords;
  const std::optional<std::string> text = path ? readSettingsText(*path) : std::nullopt;
  const StoredSettingsWords stored = text ? parseSettingsText(*text) : StoredSettingsWords{};
  for (size_t i = 0; i < words.size(); ++i) words[i] = stored[i].value_or(words[i]);
  AppSettings settings = unpackSettings(words);
  // A file from before the choice holds a fixed scale and keeps it; a user
  // without one gets the scale that fits the drive.
  const std::optional<bool> choice = text ? parseGraphAutoScale(*text) : std::nullopt;
  settings.graphAutoScale = choice.value_or(!stored[0].has_value());
  return settings;
}

int saveSettings(const AppSettings& settings, const std::optional<std::filesystem::path>& path) {
  return path ? writeSettingsFile(*path, packSettings(settings), settings.graphAutoScale) : ENOENT;
}

}  // namespace tmx
