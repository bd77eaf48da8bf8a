#include "drive/disc_probe.h"

#include <array>
#include <cstdio>

namespace tmx {

std::string FormatDiscTime(long sectors) {
  char text[64];
  std::snprintf(text, sizeof text, "%2ld:%02ld.%02ld", sectors / 4500, (sectors / 75) % 60, sectors % 75);
  return text;
}

const char* discTypeText(int kind) {
  switch (kind) {
    case kDiscData: return "Data";
    case kDiscAudio: return "Audio";
    case kDiscMixed: return "Mixed";
    default: return "-";
  }
}

int DiscProbe::classifyDisc(DriveAddress drive) {
  std::array<uint8_t, 804> toc{};
  if (commands_.ReadToc(drive, 0, static_cast<uint16_t>(toc.size()), toc.data()) != kAspiSuccess) {
    return kDiscUnknown;
  }
  return classifyTocReply(toc);
}

int DiscProbe::readDiscLength(DriveAddress drive) {
  std::array<uint8_t, 18> sense{};
  commands_.RequestSense(drive, sense.data());
  std::array<uint8_t, 8> capacity{};
  if (commands_.ReadCapacity(drive, capacity.data()) == kAspiSuccess) {
    storedLength_ = capacityFromReply(capacity);
    if (storedLength_ == -150) status_.addStatusLine("Blank CD inserted");
  } else {
    char line[64];
    std::snprintf(line, sizeof line, "Error reading capacity (code %06X)", commands_.LastSenseCode());
    status_.addStatusLine(line);
  }
  return storedLength_;
}

DiscPanel DiscProbe::refreshDiscPanel(DriveAddress drive) {
  commands_.TestUnitReady(drive);
  std::array<uint8_t, 18> sense{};
  commands_.RequestSense(drive, sense.data());
  DiscPanel panel;
  panel.kind = classifyDisc(drive);
  panel.typeText = discTypeText(panel.kind);
  if (panel.kind >= 0) panel.lengthText = FormatDiscTime(readDiscLength(drive));
  panel.testsEnabled = panel.kind == kDiscData || panel.kind == kDiscAudio;
  return panel;
}

}  // namespace tmx
