// The options dialog without widgets: a working copy of the options, the
// read speed list and its commands, the drive's speed texts, and the parse and
// bounds of the two number fields when the user applies. Nothing reaches the
// caller's AppSettings until apply() succeeds; the read speed command is the
// one effect that happens while the dialog is open.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "drive/drive_address.h"
#include "drive/drive_commands.h"
#include "drive/medium.h"
#include "results/app_settings.h"

namespace tmx {

struct ReadSpeedEntry {
  const char* text;
  int kbPerSecond;  // SET CD SPEED argument; -1: nothing is sent
};

// Each speed is N x 177 kB/s; "maximum" asks the drive for its fastest.
inline constexpr std::array<ReadSpeedEntry, 9> kReadSpeeds = {{{"default", -1},
                                                               {"maximum", 0xFFFF},
                                                               {"32 X", 5664},
                                                               {"16 X", 2832},
                                                               {"12 X", 2124},
                                                               {"8 X", 1416},
                                                               {"4 X", 708},
                                                               {"2 X", 354},
                                                               {"1 X", 177}}};

inline constexpr std::array<const char*, 6> kTestLengthTexts = {"1:1", "1:2", "1:3", "1:4", "1:5", "1:6"};

// Ranges of the number fields' arrows; apply() bounds typed values to them.
inline constexpr int kBurstLengthMin = 2, kBurstLengthMax = 384;
inline constexpr int kGraphMaxSpeedMin = 10, kGraphMaxSpeedMax = 100;

// A speed the drive reports in kB/s as "%d X" (176 kB/s each); 0 means the
// reply did not hold one, shown as not measured.
std::string driveSpeedText(int kbPerSecond);

// An unsigned decimal integer with optional blanks around it; nothing else
// (no sign, no other characters, at most 4294967295).
std::optional<uint32_t> parseUnsignedField(std::string_view text);

enum class OptionsField { None, GraphMaxSpeed, BurstLength };

class OptionsModel {
 public:
  // commands and drive may be absent (no SCSI manager, no drive found): then
  // no command is sent and the speed fields show "N/A".
  // A DVD or BD in the drive (`medium`) has its speeds set and shown in its
  // own X: SET STREAMING (SET CD SPEED where the drive refuses it) and GET
  // PERFORMANCE.
  OptionsModel(const AppSettings& settings, DriveCommands* commands, std::optional<DriveAddress> drive,
               const Medium& medium = Medium{});

  // The working copy; the check boxes and colours write it directly.
  AppSettings& values() { return values_; }
  const AppSettings& values() const { return values_; }

  // Whether the read speed list can act on a drive.
  bool hasDrive() const { return commands_ != nullptr && drive_.has_value(); }

  int testLengthIndex() const { return values_.testLength - 1; }
  void chooseTestLength(int index);

  // Sends the entry's speed to the drive at once (the drive's answer is not
  // examined: the speed fields show what it reports afterwards), then
  // refreshSpeedDisplay. An index outside the list sends nothing.
  void chooseReadSpeed(int index);
  // Asks the drive for its maximum and current read speed, and puts the
  // number fields back to the values held (a typed, unapplied number is lost).
  void refreshSpeedDisplay();

  const std::string& maximumSpeedText() const { return maximumSpeedText_; }
  const std::string& currentSpeedText() const { return currentSpeedText_; }
  // What the two number fields show after opening and after each refresh.
  std::string burstLengthField() const { return std::to_string(values_.burstLengthKB); }
  std::string graphMaxSpeedField() const { return std::to_string(values_.graphMaxSpeed); }

  // Reads both fields; the first that does not hold an unsigned integer is
  // returned and nothing changes. Otherwise the values are bounded to their
  // ranges and OptionsField::None is returned: the caller copies values().
  OptionsField apply(std::string_view graphMaxSpeedText, std::string_view burstLengthText);

 private:
  AppSettings values_;
  DriveCommands* commands_;
  std::optional<DriveAddress> drive_;
  Medium medium_;
  // A DVD's or BD's fastest, asked before a lower speed is set: GET
  // PERFORMANCE answers with the speed in effect.
  std::optional<double> mediumMaximumX_;
  std::string maximumSpeedText_ = "N/A";
  std::string currentSpeedText_ = "N/A";
};

}  // namespace tmx
