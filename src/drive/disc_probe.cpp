#include "drive/disc_probe.h"

#include "drive/medium_probe.h"

#include <algorithm>
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
  lastToc_.clear();
  if (commands_.ReadToc(drive, 0, static_cast<uint16_t>(toc.size()), toc.data()) != kAspiSuccess) {
    return kDiscUnknown;
  }
  lastToc_.assign(toc.begin(), toc.end());
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

bool discInformationBlank(DriveCommands& commands, DriveAddress drive) {
  std::array<uint8_t, 34> info{};
  if (commands.ReadDiscInformation(drive, static_cast<uint16_t>(info.size()), info.data()) != kAspiSuccess) {
    return false;
  }
  const auto facts = parseDiscInformation(info);
  return facts && facts->blank;
}

bool DiscProbe::configurationHung(DriveAddress drive) const {
  return configurationHangs_.contains(static_cast<uint16_t>(drive.hostAdapter << 8 | drive.target));
}

void DiscProbe::probeDriveMedium(DriveAddress drive) {
  const uint16_t key = static_cast<uint16_t>(drive.hostAdapter << 8 | drive.target);
  // A drive that let GET CONFIGURATION time out is not asked again: every
  // probe would wait the command timeout. It holds CDs, as drives before DVD.
  std::optional<uint16_t> profile;
  if (!configurationHangs_.contains(key)) {
    profile = readCurrentProfile(commands_, drive);
    if (!profile && commands_.transport().lastFailure().timedOut()) configurationHangs_.insert(key);
  }
  medium_ = probeMediumOfProfile(commands_, drive, profile);
  if (profile && *profile != kProfileNone && !mediumKindOfProfile(*profile)) {
    status_.addStatusLine("The medium (" + profileName(*profile) + ") is none the program knows: measured as a CD");
  }
}

DiscPanel DiscProbe::refreshDiscPanel(DriveAddress drive) {
  commands_.TestUnitReady(drive);
  std::array<uint8_t, 18> sense{};
  commands_.RequestSense(drive, sense.data());
  DiscPanel panel;
  probeDriveMedium(drive);
  panel.kind = classifyDisc(drive);
  panel.typeText = discTypeText(panel.kind);
  // The graph's automatic scale follows the drive's maximum for the medium.
  maxReadSpeedX_ = maximumReadSpeedX(commands_, drive, medium_);
  if (panel.kind >= 0) {
    const int sectors = readDiscLength(drive);
    // A blank disc reports no sectors (a lead-out before LBA 0): there is
    // no length to show and nothing to read.
    panel.blank = sectors <= 0;
    panel.lengthText = FormatDiscTime(std::max(sectors, 0));
  } else if (discInformationBlank(commands_, drive)) {
    panel.blank = true;
    panel.lengthText = FormatDiscTime(0);
  }
  if (panel.blank) panel.typeText = kBlankTypeText;
  panel.testsEnabled = !panel.blank && (panel.kind == kDiscData || panel.kind == kDiscAudio);
  if (medium_.kind != MediumKind::CD && !panel.blank) {
    // A DVD or BD is known by its profile and its length in GB.
    panel.typeText = medium_.profileName.empty() ? mediumName(medium_.kind) : medium_.profileName;
    panel.lengthText = mediumLengthText(medium_);
  }
  return panel;
}

}  // namespace tmx
