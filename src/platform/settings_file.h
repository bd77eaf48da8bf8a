// The per-user settings store: three 32-bit option words in a small text file,
// $XDG_CONFIG_HOME/tachometrix/settings.conf (or ~/.config/tachometrix/...):
//
//   # Tachometrix options
//   value0=0x01908379
//   value1=0x0000FFFF
//   value2=0x0000FF00
//   graphScale=auto
//
// graphScale ("auto" or "fixed") stands beside the words, which keep their
// layout.
//
// What the words mean is not known here; the packing lives with the options.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tmx {

inline constexpr int kSettingsWordCount = 3;
using SettingsWordArray = std::array<uint32_t, kSettingsWordCount>;
// A word the file does not hold (missing, malformed, out of range) is nullopt.
using StoredSettingsWords = std::array<std::optional<uint32_t>, kSettingsWordCount>;

// Lines "valueN=WORD" with N 0..2 and WORD in decimal or 0x-hexadecimal;
// blanks around the parts, '#' comments and unknown lines are ignored; the
// last valid line for a word wins.
StoredSettingsWords parseSettingsText(std::string_view text);
// The graphScale line: true for "auto", false for "fixed"; nullopt without one.
std::optional<bool> parseGraphAutoScale(std::string_view text);
std::string formatSettingsText(const SettingsWordArray& words, bool graphAutoScale = false);

// The file's path from the two environment values (either may be null); a
// relative XDG_CONFIG_HOME is ignored. nullopt when neither gives a folder.
std::optional<std::filesystem::path> settingsFilePath(const char* xdgConfigHome, const char* home);
// The same from this process's environment.
std::optional<std::filesystem::path> settingsFilePath();

// The file's text; nullopt for a missing or unreadable file.
std::optional<std::string> readSettingsText(const std::filesystem::path& path);
// Missing or unreadable file: every word nullopt.
StoredSettingsWords readSettingsFile(const std::filesystem::path& path);
// Creates the folder when needed. Returns 0, or the errno of the failure.
int writeSettingsFile(const std::filesystem::path& path, const SettingsWordArray& words, bool graphAutoScale = false);

}  // namespace tmx
