// Loading and saving AppSettings through the per-user settings file.
#pragma once

#include <filesystem>
#include <optional>

#include "results/app_settings.h"

namespace tmx {

// Never fails: a missing file, folder or word takes its default word.
AppSettings loadSettings(const std::optional<std::filesystem::path>& path = settingsFilePath());
// Silent: a failure loses this run's options and reports nothing. Returns
// whether the file was written, for tests and diagnostics.
bool saveSettings(const AppSettings& settings,
                  const std::optional<std::filesystem::path>& path = settingsFilePath());

}  // namespace tmx
