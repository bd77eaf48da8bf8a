// Loading and saving AppSettings through the per-user settings file.
#pragma once

#include <filesystem>
#include <optional>

#include "results/app_settings.h"

namespace tmx {

// Never fails: a missing file, folder or word takes its default word.
AppSettings loadSettings(const std::optional<std::filesystem::path>& path = settingsFilePath());
// Returns 0, or the errno of the failure (ENOENT when no settings folder is
// known); the caller decides whether and where to say so.
int saveSettings(const AppSettings& settings,
                  const std::optional<std::filesystem::path>& path = settingsFilePath());

}  // namespace tmx
