// Probes the disc in the selected drive: its kind (from the TOC) and its length
// (from READ CAPACITY), and what the disc panel shows for them.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "drive/drive_commands.h"
#include "drive/medium.h"
#include "drive/status_sink.h"

namespace tmx {

inline constexpr int kDiscData = 0;
inline constexpr int kDiscAudio = 1;
inline constexpr int kDiscMixed = 2;
inline constexpr int kDiscUnknown = -1;

// "%2ld:%02ld.%02ld": minutes, seconds and frames at 75 sectors per second.
std::string FormatDiscTime(long sectors);

// "Data", "Audio", "Mixed", or "-".
const char* discTypeText(int kind);

inline constexpr const char* kBlankTypeText = "Blank";

// READ DISC INFORMATION says nothing is recorded: a blank disc whose drive
// refuses READ TOC is known by it. False when the drive does not answer.
bool discInformationBlank(DriveCommands& commands, DriveAddress drive);

struct DiscPanel {
  std::string typeText = "-";
  std::string lengthText = "--:--:--";
  // Start and every test command, the CD quality check included: only a pure
  // data or a pure audio disc with something recorded can be measured.
  bool testsEnabled = false;
  int kind = kDiscUnknown;
  // A recordable disc with nothing on it: "Blank", " 0:00.00".
  bool blank = false;
};

class DiscProbe {
 public:
  DiscProbe(DriveCommands& commands, StatusSink& status) : commands_(commands), status_(status) {}

  int classifyDisc(DriveAddress drive);
  // A drive that refuses READ TOC for a disc with no session may say it is
  // blank in its disc information.
  // Adds "Blank CD inserted" or "Error reading capacity (code %06X)" when due.
  // Returns the stored length, which a failed read leaves unchanged.
  int readDiscLength(DriveAddress drive);
  DiscPanel refreshDiscPanel(DriveAddress drive);

  int storedLength() const { return storedLength_; }
  // The medium the last refresh found (a CD unless the drive said otherwise)
  // and the drive's maximum read speed for it, in its X, where known.
  const Medium& medium() const { return medium_; }
  std::optional<double> maxReadSpeedX() const { return maxReadSpeedX_; }
  // The READ TOC reply the last classification read; empty when it failed.
  const std::vector<uint8_t>& lastToc() const { return lastToc_; }
  // Whether the drive let GET CONFIGURATION time out: it is not asked again.
  bool configurationHung(DriveAddress drive) const;
  // Whether the drive answered the last readiness poll with success.
  bool discReady = true;

 private:
  // GET CONFIGURATION and what follows from it, into medium_.
  void probeDriveMedium(DriveAddress drive);

  DriveCommands& commands_;
  StatusSink& status_;
  int storedLength_ = 0;
  std::set<uint16_t> configurationHangs_;  // drives (adapter << 8 | target)
  Medium medium_;
  std::optional<double> maxReadSpeedX_;
  std::vector<uint8_t> lastToc_;
};

}  // namespace tmx
