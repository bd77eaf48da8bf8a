#include "drivecheck/medium_lines.h"

#include <algorithm>
#include <array>
#include <vector>

#include "drive/configuration_replies.h"
#include "drive/disc_structure_replies.h"
#include "drive/drive_commands.h"
#include "drive/medium.h"
#include "drive/medium_probe.h"
#include "drive/performance_replies.h"
#include "drivecheck/line_format.h"
#include "drivecheck/report_lines.h"

namespace tmx {
namespace {

constexpr uint16_t kPerformanceDescriptors = 16;
constexpr uint16_t kStructureReply = 4 + 4096;

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

// The drive's profiles by medium, lowest number first, each name once.
void addProfileLines(const std::vector<ProfileEntry>& profiles, DriveCheckReport& report) {
  if (profiles.empty()) {
    report.addReportLine("Profiles             : none listed");
    return;
  }
  std::vector<uint16_t> numbers;
  for (const ProfileEntry& p : profiles) numbers.push_back(p.profile);
  std::sort(numbers.begin(), numbers.end());
  const std::pair<const char*, std::optional<MediumKind>> groups[] = {
      {"Profiles (CD)        : ", MediumKind::CD},
      {"Profiles (DVD)       : ", MediumKind::DVD},
      {"Profiles (BD)        : ", MediumKind::BD},
      {"Profiles (other)     : ", std::nullopt}};
  for (const auto& [label, kind] : groups) {
    std::vector<std::string> names;
    for (uint16_t n : numbers) {
      const std::string name = profileName(n);
      if (mediumKindOfProfile(n) == kind && std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
      }
    }
    if (!names.empty()) report.addReportLine(label + joined(names));
  }
}

// "no", "yes", or "yes (what, else)" with the extras that hold.
std::string featureText(bool present, std::initializer_list<std::pair<bool, const char*>> extras) {
  if (!present) return "no";
  std::vector<std::string> names;
  for (const auto& [holds, name] : extras) {
    if (holds) names.push_back(name);
  }
  return names.empty() ? "yes" : "yes (" + joined(names) + ")";
}

std::string cdReadText(const std::optional<CdReadFeature>& f) {
  return featureText(f.has_value(), {{f && f->c2Flags, "C2 error flags"}, {f && f->cdText, "CD-Text"}});
}

std::string dvdReadText(const std::optional<DvdReadFeature>& f) {
  return featureText(f.has_value(),
                     {{f && f->dualLayerR, "dual-layer DVD-R"}, {f && f->dualLayerRw, "dual-layer DVD-RW"}});
}

std::string bdReadText(const std::optional<BdReadFeature>& f) {
  const auto any = [](const std::array<uint16_t, 4>& classes) {
    return std::any_of(classes.begin(), classes.end(), [](uint16_t v) { return v != 0; });
  };
  return featureText(f.has_value(), {{f && any(f->readOnly), "BD-ROM"}, {f && any(f->recordable), "BD-R"},
                                     {f && any(f->rewritable), "BD-RE"}});
}

const char* idStatusText(MediaIdStatus status) {
  return status == MediaIdStatus::Short ? "the reply stops short of it" : "not in the reply (unknown structure)";
}

void addMediaIdBlock(const char* title, const MediaIdReply& reply, DriveCheckReport& report) {
  report.addReportLine(title);
  if (reply.status != MediaIdStatus::Found) {
    report.addReportLine(std::string("   Manufacturer ID  : ") + idStatusText(reply.status));
  } else {
    report.addReportLine("   Manufacturer ID  : " + reply.id.manufacturer);
    if (!reply.id.mediaType.empty()) report.addReportLine("   Media type ID    : " + reply.id.mediaType);
    if (reply.id.revision) report.addReportLine(formatLine("   Product revision : %u", unsigned{*reply.id.revision}));
  }
  report.addReportLine("");
}

bool isMinusRecordable(uint16_t p) { return p == 0x11 || (p >= 0x13 && p <= 0x17); }
bool isPlusRecordable(uint16_t p) { return p == 0x1A || p == 0x1B || p == 0x2A || p == 0x2B; }
bool isBdRecordable(uint16_t p) { return p >= 0x41 && p <= 0x43; }

// DVD: the physical format's book type and the layers it gives.
void addDvdStructureLines(DriveCommands& commands, DriveAddress drive, const Medium& medium, DriveCheckReport& report) {
  const auto physical = readDiscStructure(commands, drive, kStructureMediaDvd, kStructurePhysical, kStructureReply);
  if (physical.empty()) {
    report.addReportLine(failureLine(commands, "Error reading the physical format"));
  } else if (const auto pfi = parseDvdPhysicalFormat(physical)) {
    report.addReportLine(formatLine("Book type  : %s, part version %u", dvdBookTypeName(pfi->bookType).c_str(),
                                    unsigned{pfi->partVersion}));
  } else {
    report.addReportLine("Book type  : the reply stops short of it");
  }
  report.addReportLine("");
  const uint16_t p = medium.profile;
  const uint8_t format = isMinusRecordable(p) ? kStructurePrePit : isPlusRecordable(p) ? kStructureAdip : 0;
  if (format == 0) return;
  const char* title = format == kStructurePrePit ? "DVD-R(W) information" : "DVD+R(W) information";
  const auto reply = readDiscStructure(commands, drive, kStructureMediaDvd, format, kStructureReply);
  if (reply.empty()) {
    report.addReportLine(title);
    report.addReportLine(failureLine(commands, "   Error reading the media identification"));
    report.addReportLine("");
    return;
  }
  addMediaIdBlock(title, format == kStructurePrePit ? parsePrePitMediaId(reply) : parseAdipMediaId(reply), report);
}

// BD: the disc information's disc type and, of a recordable disc, its maker.
void addBdStructureLines(DriveCommands& commands, DriveAddress drive, const Medium& medium, DriveCheckReport& report) {
  const auto reply = readDiscStructure(commands, drive, kStructureMediaBd, kStructurePhysical, kStructureReply);
  const bool read = !reply.empty();
  const auto info = parseBdDiscInformation(reply);
  if (!read) {
    report.addReportLine(failureLine(commands, "Error reading the disc information"));
  } else if (!info) {
    report.addReportLine("Disc type  : not in the reply (unknown structure)");
  } else {
    const std::string& type = info->units.front().discType;
    const char* name = type == "BDO" ? "BD-ROM" : type == "BDR" ? "BD-R" : type == "BDW" ? "BD-RE" : "unknown";
    report.addReportLine("Disc type  : " + std::string(name) + " (" + type + ")");
  }
  report.addReportLine("");
  if (!read || !isBdRecordable(medium.profile)) return;
  addMediaIdBlock("BD-R(E) information", info ? info->mediaId() : MediaIdReply{MediaIdStatus::Unrecognised, {}},
                  report);
}

}  // namespace

std::optional<MediaIdReply> readRecordableMediaId(DriveCommands& commands, DriveAddress drive, const Medium& medium) {
  const uint16_t p = medium.profile;
  if (medium.kind == MediumKind::BD && isBdRecordable(p)) {
    const auto reply = readDiscStructure(commands, drive, kStructureMediaBd, kStructurePhysical, kStructureReply);
    if (reply.empty()) return std::nullopt;
    const auto info = parseBdDiscInformation(reply);
    return info ? info->mediaId() : MediaIdReply{MediaIdStatus::Unrecognised, {}};
  }
  const uint8_t format = medium.kind != MediumKind::DVD ? 0
                         : isMinusRecordable(p)          ? kStructurePrePit
                         : isPlusRecordable(p)           ? kStructureAdip
                                                         : 0;
  if (format == 0) return std::nullopt;
  const auto reply = readDiscStructure(commands, drive, kStructureMediaDvd, format, kStructureReply);
  if (reply.empty()) return std::nullopt;
  return format == kStructurePrePit ? parsePrePitMediaId(reply) : parseAdipMediaId(reply);
}

void addConfigurationLines(const DriveConfiguration& config, DriveCheckReport& report) {
  report.addReportLine("Current profile      : " +
                       (config.currentProfile == 0 ? std::string("none") : profileName(config.currentProfile)));
  addProfileLines(config.profiles, report);
  report.addReportLine("Read CD              : " + cdReadText(config.cdRead));
  report.addReportLine("Read DVD             : " + dvdReadText(config.dvdRead));
  report.addReportLine("Read BD              : " + bdReadText(config.bdRead));
  report.addReportLine(std::string("Real-time streaming  : ") + yesNo(config.realTimeStreaming));
  if (config.serialNumber) report.addReportLine("Serial number        : " + *config.serialNumber);
  if (config.cutShort) report.addReportLine("Features             : the reply stops short, later ones unknown");
}

void addPerformanceLine(DriveCommands& commands, DriveAddress drive, const Medium& medium, DriveCheckReport& report) {
  std::vector<uint8_t> reply(getPerformanceCdb(0, kPerformanceDescriptors).transferLength, 0);
  const std::string label = "Read performance     : ";
  if (commands.GetPerformance(drive, 0, kPerformanceDescriptors, reply.data()) != kAspiSuccess) {
    report.addReportLine(failureLine(commands, label + "unknown"));
    return;
  }
  const auto parsed = parsePerformance(reply);
  const auto fastest = parsed ? maximumPerformanceKBps(*parsed) : std::nullopt;
  if (!fastest) {
    report.addReportLine(label + "the reply holds no read performance");
    return;
  }
  uint32_t slowest = *fastest;
  for (const PerformanceDescriptor& d : parsed->descriptors) slowest = std::min({slowest, d.startKBps, d.endKBps});
  const double perX = kilobytesPerSecondPerX(medium.kind);
  const char* name = mediumName(medium.kind);
  report.addReportLine(slowest == *fastest
                           ? formatLine("%s%.2f X %s (%u KB/sec)", label.c_str(), *fastest / perX, name, *fastest)
                           : formatLine("%s%.2f-%.2f X %s (%u-%u KB/sec)", label.c_str(), slowest / perX,
                                        *fastest / perX, name, slowest, *fastest));
}

void addDvdBdDiscLines(DriveCommands& commands, DriveAddress drive, const Medium& medium, DriveCheckReport& report) {
  report.addReportLine("Type         : " + medium.profileName);
  std::vector<uint8_t> toc(804, 0);
  if (commands.ReadToc(drive, 0, static_cast<uint16_t>(toc.size()), toc.data()) != kAspiSuccess) {
    report.addReportLine(failureLine(commands, "Error reading TOC"));
  } else {
    const TocTrackCounts tracks = tocTrackCounts(toc);
    report.addReportLine(formatLine("Tracks      : %d (%d data, %d audio)", tracks.tracks(), tracks.data, tracks.audio));
  }
  if (medium.capacitySectors <= 0) {
    report.addReportLine("Capacity   : none, the disc is blank or unreadable");
  } else {
    report.addReportLine(formatLine("Capacity   : %.2f GB (%lld sectors)", medium.gigabytes(),
                                    static_cast<long long>(medium.capacitySectors)));
  }
  if (medium.layers > 1 && medium.layerBreakLba) {
    report.addReportLine(formatLine("Layers     : %d, %s track path, layer 1 from LBA %lld", medium.layers,
                                    medium.oppositeTrackPath ? "opposite" : "parallel",
                                    static_cast<long long>(*medium.layerBreakLba)));
  } else {
    report.addReportLine(formatLine("Layers     : %d", medium.layers));
  }
  if (medium.kind == MediumKind::BD) {
    addBdStructureLines(commands, drive, medium, report);
  } else {
    addDvdStructureLines(commands, drive, medium, report);
  }
}

}  // namespace tmx
