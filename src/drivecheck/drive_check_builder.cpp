#include "drivecheck/drive_check_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "drive/disc_probe.h"
#include "drive/disc_structure_replies.h"
#include "drive/drive_commands.h"
#include "drive/drive_failure.h"
#include "drive/medium_probe.h"
#include "drive/reply_parsers.h"
#include "drivecheck/command_guard.h"
#include "drivecheck/line_format.h"
#include "drivecheck/medium_lines.h"
#include "drivecheck/recordable_media.h"
#include "platform/scsi_manager.h"
#include "platform/system_info.h"

namespace tmx {
namespace {

constexpr uint8_t kPageErrorRecovery = 0x01;
constexpr uint8_t kPageCapabilities = 0x2A;
constexpr int kKBpsPerX = 176;
// The capabilities page through its buffer size (bytes 12-13): the fields the
// report prints.
constexpr size_t kCapabilityBytesShown = 14;

struct PageRead {
  AspiStatus status = kAspiNotSent;
  std::vector<uint8_t> page;  // empty when the reply held no such page
};

PageRead modeSensePage(DriveCommands& commands, DriveAddress drive, ModeHeader header, uint8_t pageCode,
                       uint8_t length) {
  PageRead read;
  read.status = commands.ModeSensePage(drive, header, pageCode, length, read.page);
  return read;
}

bool isDvdOrBd(std::optional<uint16_t> profile) {
  const auto kind = profile ? mediumKindOfProfile(*profile) : std::nullopt;
  return kind == MediumKind::DVD || kind == MediumKind::BD;
}

// The speeds of a DVD or BD in its own X: page 2Ah counts them in its KB/s.
void addCapabilityLines(const CdCapabilities& caps, MediumKind kind, DriveCheckReport& report) {
  const int m = caps.maximumSpeed;
  report.addReportLine(formatLine("Buffer size                  : %d KB", caps.bufferSizeKB));
  if (m == 0) {
    report.addReportLine("Maximum read speed : unknown");
  } else if (kind == MediumKind::CD) {
    report.addReportLine(formatLine("Maximum read speed : %u KB/sec (%d X)", unsigned(m), m / kKBpsPerX));
  } else {
    report.addReportLine(formatLine("Maximum read speed : %u KB/sec (%ld X %s)", unsigned(m),
                                    std::lround(m / kilobytesPerSecondPerX(kind)), mediumName(kind)));
  }
  report.addReportLine(std::string("Read CD-R                : ") + yesNo(caps.readsCdR()));
  report.addReportLine(std::string("Read CD-RW            : ") + yesNo(caps.readsCdRw()));
  report.addReportLine(std::string("Read CDDA               : ") + yesNo(caps.readsCdda()));
  report.addReportLine(std::string("CDDA accurate         : ") + yesNo(caps.accurateStream()));
  report.addReportLine(std::string("Read R-W                 : ") + yesNo(caps.readsRw()));
  report.addReportLine(std::string("R-W packed              : ") + yesNo(caps.rwPacked()));
  report.addReportLine(std::string("C2 pointers                 : ") + yesNo(caps.c2Pointers));
}

// Only a confirmed speed counts: the drive must accept the setting and then
// report it back as its current speed.
void addSpeedLine(DriveCommands& commands, DriveAddress drive, int maximumKBps, DriveCheckReport& report) {
  std::string text = "Speed settings           : ";
  AspiStatus last = kAspiNotSent;
  for (int x = 0; x <= maximumKBps / kKBpsPerX && !report.cancelled(); ++x) {
    last = commands.SetReadSpeed(drive, static_cast<uint16_t>(x * kKBpsPerX));
    if (last == kAspiNotSent) return;  // the drive stopped answering: no line
    if (last != kAspiSuccess) continue;
    int maximum = 0, current = 0;
    last = commands.ModeSenseSpeeds(drive, maximum, current);
    if (last == kAspiSuccess && current / kKBpsPerX == x) text += formatLine("%d-", x);
  }
  if (last != kAspiSuccess) return;
  text += "X";
  text[text.size() - 2] = ' ';
  report.addReportLine(text);
}

// The same for a DVD or BD: SET STREAMING (else SET CD SPEED) at each X of
// the medium, confirmed in the capabilities page's KB/s.
void addMediumSpeedLine(DriveCommands& commands, DriveAddress drive, int maximumKBps, const Medium& medium,
                        DriveCheckReport& report) {
  const double perX = kilobytesPerSecondPerX(medium.kind);
  std::string speeds;
  AspiStatus last = kAspiNotSent;
  for (long x = 1; x <= std::lround(maximumKBps / perX) && !report.cancelled(); ++x) {
    last = setReadSpeedX(commands, drive, medium, static_cast<double>(x));
    if (last == kAspiNotSent) return;
    if (last != kAspiSuccess) continue;
    int maximum = 0, current = 0;
    last = commands.ModeSenseSpeeds(drive, maximum, current);
    if (last == kAspiSuccess && std::lround(current / perX) == x) speeds += formatLine("%s%ld", speeds.empty() ? "" : "-", x);
  }
  if (last != kAspiSuccess) return;
  report.addReportLine("Speed settings           : " +
                       (speeds.empty() ? std::string("none confirmed") : speeds + " X " + mediumName(medium.kind)));
}

// The disc type from the full TOC; drives that read the format only from
// byte 2 answer the older placement with the track table, so they are asked
// the MMC way as well.
int readCdDiscType(DriveCommands& commands, DriveAddress drive) {
  std::vector<uint8_t> fullToc(3000, 0);
  const auto size = static_cast<uint16_t>(fullToc.size());
  if (commands.ReadToc(drive, 2, size, fullToc.data()) == kAspiSuccess) {
    if (const int type = discTypeFromFullToc(fullToc); type >= 0) return type;
  }
  std::fill(fullToc.begin(), fullToc.end(), 0);
  return commands.ReadTocPmaAtip(drive, 2, 1, size, fullToc.data()) == kAspiSuccess ? discTypeFromFullToc(fullToc)
                                                                                    : -1;
}

void addBlankDiscLines(DriveCheckReport& report) {
  report.addReportLine("Type         : blank");
  report.addReportLine("Tracks      : none recorded");
  report.addReportLine("Capacity   : none, the disc is blank");
}

// A blank disc answers READ TOC with its empty first track, or refuses it;
// either way it is said to be blank, as the disc panel says. Only a drive
// that answered the TOC with a refusal is asked again.
void addCdTocLines(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report) {
  std::vector<uint8_t> toc(804, 0);
  if (commands.ReadToc(drive, 0, static_cast<uint16_t>(toc.size()), toc.data()) != kAspiSuccess) {
    const std::string failure = failureLine(commands, "Error reading TOC");
    const bool refused = commands.transport().lastFailure().kind == FailureKind::Sense;
    if (refused && discInformationBlank(commands, drive)) {
      addBlankDiscLines(report);
    } else {
      report.addReportLine(failure);
    }
    return;
  }
  const TocTrackCounts tracks = tocTrackCounts(toc);
  const int discType = readCdDiscType(commands, drive);
  std::array<uint8_t, 8> capacity{};
  const bool capacityRead = commands.ReadCapacity(drive, capacity.data()) == kAspiSuccess;
  const std::string capacityFailure = capacityRead ? "" : failureLine(commands, "Error reading capacity");
  const long sectors = capacityRead ? capacityFromReply(capacity) : 0;
  if (capacityRead && sectors <= 0) {
    addBlankDiscLines(report);
    return;
  }
  report.addReportLine(discTypeLine(tracks, discType));
  report.addReportLine(formatLine("Tracks      : %d (%d data, %d audio)", tracks.tracks(), tracks.data, tracks.audio));
  report.addReportLine(capacityRead
                           ? formatLine("Capacity   : %s (%ld sectors)", FormatDiscTime(sectors).c_str(), sectors)
                           : capacityFailure);
}

}  // namespace

void addGeneralSection(DriveCommands& commands, DriveAddress drive, const SystemInfo& system,
                       DriveCheckReport& report) {
  const ScsiManager* manager = commands.transport().manager();
  const HostAdapter* adapter = manager ? manager->adapter(drive.hostAdapter) : nullptr;
  report.addSeparator();
  report.addReportLine("General information");
  report.addSeparator();
  report.addReportLine("Operating system : " + system.operatingSystemText());
  report.addReportLine("ASPI manager     : " + system.scsiLayerText(adapter));
  report.addReportLine("");
  if (const auto name = system.hostAdapterName(adapter)) report.addReportLine("Host adapter   : " + *name);
  const AdapterDriver driver = system.adapterDriver(adapter);
  report.addReportLine("Driver              : " + driver.driver);
  report.addReportLine("   Description        : " + driver.description);
  report.addReportLine("   Company           : " + driver.company);
  report.addReportLine("   Version              : " + driver.version);
  report.addReportLine("");
}

void addDriveSection(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report) {
  report.addSeparator();
  report.addReportLine("Drive information");
  report.addSeparator();
  InquiryTexts texts;
  if (!commands.Inquiry(drive, texts)) {
    report.addReportLine(failureLine(commands, "Error reading drive identification"));
  } else {
    report.addReportLine(formatLine("Host adapter         : %d", drive.hostAdapter));
    report.addReportLine(formatLine("Device ID             : %d", drive.target));
    report.addReportLine("Vendor                  : " + texts.vendor);
    report.addReportLine("Product                 : " + texts.product);
    report.addReportLine("Firmware version   : " + texts.revision);
  }
  report.addReportLine("");

  // The medium decides the units of the speeds; a drive without GET
  // CONFIGURATION holds a CD.
  const std::optional<DriveConfiguration> config = readConfiguration(commands, drive);
  const std::optional<uint16_t> profile = config ? std::optional(config->currentProfile) : std::nullopt;
  const Medium medium = isDvdOrBd(profile) ? probeMediumOfProfile(commands, drive, profile) : Medium{};

  const bool sense6 = modeSensePage(commands, drive, ModeHeader::Six, kPageErrorRecovery, 8).status == kAspiSuccess;
  modeSensePage(commands, drive, ModeHeader::Ten, kPageErrorRecovery, 8);
  const PageRead caps =
      modeSensePage(commands, drive, sense6 ? ModeHeader::Six : ModeHeader::Ten, kPageCapabilities, 30);
  if (caps.page.size() < kCapabilityBytesShown) {
    // A reply without the page counts as a failure: its bytes would be the
    // header's, not the drive's capabilities.
    report.addReportLine(caps.status == kAspiSuccess ? errorLineText("Unable to retrieve CD capabilities", 0)
                                                     : failureLine(commands, "Unable to retrieve CD capabilities"));
  } else {
    const CdCapabilities facts = capabilitiesFromPage(caps.page);
    addCapabilityLines(facts, medium.kind, report);
    // Without the page no maximum is known, so the probe runs only with it.
    if (medium.kind == MediumKind::CD) {
      addSpeedLine(commands, drive, facts.maximumSpeed, report);
    } else {
      addMediumSpeedLine(commands, drive, facts.maximumSpeed, medium, report);
    }
  }
  report.addReportLine("");
  if (config) {
    addConfigurationLines(*config, report);
    if (medium.kind != MediumKind::CD) addPerformanceLine(commands, drive, medium, report);
    report.addReportLine("");
  }
}

void addDiscSection(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report) {
  report.addSeparator();
  report.addReportLine("Disc information");
  report.addSeparator();
  const std::optional<uint16_t> profile = readCurrentProfile(commands, drive);
  if (isDvdOrBd(profile)) {
    addDvdBdDiscLines(commands, drive, probeMediumOfProfile(commands, drive, profile), report);
    return;
  }
  addCdTocLines(commands, drive, report);
  report.addReportLine("");

  const RecordableDisc disc = identifyRecordableDisc(commands, drive);
  if (disc.found) {
    const char* kind = disc.rewritable ? "CD-RW" : "CD-R";
    report.addReportLine("CD-R(W) information");
    report.addReportLine("   Manufacturer   : " + disc.manufacturer);
    report.addReportLine(formatLine("   Media code      : %ldm%02lds%02ldf", disc.mediaCode / 10000,
                                disc.mediaCode / 100 % 100, disc.mediaCode % 100));
    report.addReportLine(formatLine("   Dye type          : %d", disc.dyeType));
    report.addReportLine(disc.xCompatibility != 0
                             ? formatLine("   Disc Type        : %s (%d X compatible)", kind, disc.xCompatibility)
                             : formatLine("   Disc Type        : %s", kind));
    report.addReportLine("   Capacity          : " + FormatDiscTime(disc.capacityFrames));
    report.addReportLine("");
  }
}

void addCommandSection(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report) {
  report.addSeparator();
  report.addReportLine("Supported commands");
  report.addSeparator();
  std::vector<uint8_t> sector(kBlockAudio, 0);
  auto result = [&](const char* label, const auto& send) {
    if (report.cancelled()) return;
    report.addReportLine(label);
    const AspiStatus status = send();
    if (status == kAspiSuccess) {
      report.addReportLine("ok");
    } else {
      report.addReportLine(failureLine(commands, "Error"));
    }
  };
  uint8_t* buffer = sector.data();
  const auto errorRecovery = [&](ModeHeader header) {
    return modeSensePage(commands, drive, header, kPageErrorRecovery, 8).status;
  };
  // No CD-only command goes to a DVD or BD.
  const std::optional<uint16_t> profile = readCurrentProfile(commands, drive);
  const bool dvdOrBd = isDvdOrBd(profile);
  const auto cdOnly = [&](const char* label, const auto& send) {
    if (!dvdOrBd) return result(label, send);
    if (report.cancelled()) return;
    report.addReportLine(label);
    report.addReportLine("  Not sent to a DVD or BD");
  };
  result("Mode Sense 6", [&] { return errorRecovery(ModeHeader::Six); });
  result("Mode Sense 10", [&] { return errorRecovery(ModeHeader::Ten); });
  result("Seek6", [&] { return commands.Seek6(drive, 0); });
  result("Seek10", [&] { return commands.Seek10(drive, 0); });
  cdOnly("Read CD", [&] { return commands.ReadCd(drive, 0xF8, 0, 1, kBlockAudio, buffer); });
  result("Read10", [&] { return commands.Read10(drive, 0, 1, buffer); });
  result("Read12", [&] { return commands.Read12(drive, 0, 1, buffer); });
  cdOnly("Read CDDA", [&] { return commands.ReadCdda(drive, 0, 1, buffer); });
  if (profile) {  // the commands of MMC-3 on, for drives that have them
    result("Get Configuration",
           [&] { return commands.GetConfiguration(drive, FeatureRequest::Current, 0, 8, buffer); });
    if (dvdOrBd) {
      const uint8_t media = mediumKindOfProfile(*profile) == MediumKind::BD ? kStructureMediaBd : kStructureMediaDvd;
      result("Read Disc Structure", [&] { return commands.ReadDiscStructure(drive, media, 0, 0, 4, buffer); });
    }
    result("Get Performance", [&] { return commands.GetPerformance(drive, 0, 1, buffer); });
    result("Set Streaming", [&] { return commands.SetStreaming(drive, 0xFFFFFFFF, 0xFFFFFFFF); });
  }
  result("Set CD Speed", [&] { return commands.SetReadSpeed(drive, 0xFFFF); });
}

void buildDriveCheckReport(DriveCommands& commands, DriveAddress drive, const SystemInfo& system,
                           DriveCheckReport& report, const std::atomic<bool>* cancel) {
  const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(); };
  // Every command of the report, the recordable media's included, passes it.
  CommandGuard guard(commands.transport(), cancel);
  report.setCancel(cancel);
  if (!cancelled()) addGeneralSection(commands, drive, system, report);
  if (!cancelled()) addDriveSection(commands, drive, report);
  if (!cancelled()) addDiscSection(commands, drive, report);
  if (!cancelled()) addCommandSection(commands, drive, report);
  report.setCancel(nullptr);
}

}  // namespace tmx
