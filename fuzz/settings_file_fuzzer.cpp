// Any text as a settings file: parsing, unpacking, and the round trips that
// must hold for whatever was read.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/settings_file.h"
#include "results/app_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const StoredSettingsWords stored = parseSettingsText(std::string_view(reinterpret_cast<const char*>(data), size));
  SettingsWordArray words = kDefaultSettingsWords;
  for (size_t i = 0; i < words.size(); ++i) words[i] = stored[i].value_or(words[i]);

  // Writing back what was read gives the same words.
  const StoredSettingsWords reread = parseSettingsText(formatSettingsText(words));
  for (size_t i = 0; i < words.size(); ++i) {
    if (reread[i] != words[i]) std::abort();
  }
  // Loaded options are in range, so a save and a load keep them unchanged.
  const AppSettings settings = unpackSettings(words);
  if (settings.testLength < 1 || settings.testLength > 6 || settings.burstLengthKB < 2 ||
      settings.burstLengthKB > 384 || settings.graphMaxSpeed < 10 || settings.graphMaxSpeed > 100) {
    std::abort();
  }
  if (!(unpackSettings(packSettings(settings)) == settings)) std::abort();
  return 0;
}
