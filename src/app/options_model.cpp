#include "app/options_model.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "drive/medium_probe.h"
#include "results/format_string.h"

namespace tmx {

std::string driveSpeedText(int kbPerSecond) {
  if (kbPerSecond <= 0) return "N/A";
  return formatString("%d X", kbPerSecond / 176);
}

std::optional<uint32_t> parseUnsignedField(std::string_view text) {
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

OptionsModel::OptionsModel(const AppSettings& settings, DriveCommands* commands, std::optional<DriveAddress> drive,
                           const Medium& medium)
    : values_(settings), commands_(commands), drive_(drive), medium_(medium) {
  if (medium_.kind != MediumKind::CD && commands_ && drive_) mediumMaximumX_ = maximumReadSpeedX(*commands_, *drive_, medium_);
  values_.testLength = std::clamp(values_.testLength, 1, static_cast<int>(kTestLengthTexts.size()));
  if (values_.readSpeedIndex < 0 || values_.readSpeedIndex >= static_cast<int>(kReadSpeeds.size())) {
    values_.readSpeedIndex = 0;
  }
  refreshSpeedDisplay();
}

void OptionsModel::chooseTestLength(int index) {
  if (index >= 0 && index < static_cast<int>(kTestLengthTexts.size())) values_.testLength = index + 1;
}

void OptionsModel::chooseReadSpeed(int index) {
  if (index >= 0 && index < static_cast<int>(kReadSpeeds.size())) {
    values_.readSpeedIndex = index;
    const int kb = kReadSpeeds[static_cast<size_t>(index)].kbPerSecond;
    if (kb >= 0 && commands_ && drive_) {
      if (medium_.kind == MediumKind::CD) {
        commands_->SetReadSpeed(*drive_, static_cast<uint16_t>(kb));
      } else {
        // The list's N X in the medium's own X; "maximum" asks for the fastest.
        setReadSpeedX(*commands_, *drive_, medium_, kb == 0xFFFF ? 0.0 : kb / 177);
      }
    }
  }
  refreshSpeedDisplay();
}

void OptionsModel::refreshSpeedDisplay() {
  if (medium_.kind != MediumKind::CD) {
    const auto text = [](std::optional<double> x) { return x ? formatString("%.0f X", *x) : std::string("N/A"); };
    maximumSpeedText_ = text(mediumMaximumX_);
    currentSpeedText_ = text(commands_ && drive_ ? maximumReadSpeedX(*commands_, *drive_, medium_) : std::nullopt);
    return;
  }
  int maximum = 0, current = 0;
  if (commands_ && drive_ && commands_->ModeSenseSpeeds(*drive_, maximum, current) == kAspiSuccess) {
    maximumSpeedText_ = driveSpeedText(maximum);
    currentSpeedText_ = driveSpeedText(current);
  } else {
    maximumSpeedText_ = currentSpeedText_ = "N/A";
  }
}

OptionsField OptionsModel::apply(std::string_view graphMaxSpeedText, std::string_view burstLengthText) {
  const auto maxSpeed = parseUnsignedField(graphMaxSpeedText);
  if (!maxSpeed) return OptionsField::GraphMaxSpeed;
  const auto burst = parseUnsignedField(burstLengthText);
  if (!burst) return OptionsField::BurstLength;
  // The stored burst field is nine bits wide: 385 and above would not survive a restart.
  values_.graphMaxSpeed = static_cast<int>(std::clamp<uint32_t>(*maxSpeed, kGraphMaxSpeedMin, kGraphMaxSpeedMax));
  values_.burstLengthKB = static_cast<int>(std::clamp<uint32_t>(*burst, kBurstLengthMin, kBurstLengthMax));
  return OptionsField::None;
}

}  // namespace tmx
