#include "library/stored_run_builder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "drive/disc_probe.h"
#include "drive/drive_discovery.h"
#include "results/run_report.h"

namespace tmx {
namespace {

bool hasFigure(const RunReport& r) {
  const bool cpu = std::any_of(r.cpuPercent.begin(), r.cpuPercent.end(), [](const auto& c) { return c.has_value(); });
  return !r.zones.empty() || r.averageX || r.daeScore || r.accurateStream || r.randomSeekMs || r.oneThirdSeekMs ||
         r.fullSeekMs || cpu || r.burstMBps || r.spinUpSeconds || r.spinDownSeconds;
}

bool ended(RunOutcome outcome) {
  return outcome == RunOutcome::Completed || outcome == RunOutcome::Aborted || outcome == RunOutcome::Cancelled;
}

std::string trimmed(std::string_view text) {
  std::string out = TrimTrailingBlanks(text);
  out.erase(0, std::min(out.size(), out.find_first_not_of(' ')));
  return out;
}

const char* discTypeWord(int32_t type) {
  switch (type) {
    case kDiscData: return "data";
    case kDiscAudio: return "audio";
    case kDiscMixed: return "mixed";
    default: return nullptr;
  }
}

}  // namespace

bool worthRecording(const FinishedRun& run) {
  if (!ended(run.outcome)) return false;
  return run.qualityCheck || hasFigure(makeRunReport(run.record, run.outcome));
}

std::string utcTimeText(std::chrono::system_clock::time_point time) {
  const std::time_t t = std::chrono::system_clock::to_time_t(time);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string tocDigest(std::span<const uint8_t> toc) {
  if (toc.size() < 2) return {};
  const size_t length = std::min(toc.size(), static_cast<size_t>((toc[0] << 8 | toc[1]) + 2));
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (size_t i = 0; i < length; ++i) hash = (hash ^ toc[i]) * 0x100000001b3ULL;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

StoredDrive trimmedDrive(StoredDrive drive) {
  for (std::string* text : {&drive.vendor, &drive.product, &drive.revision, &drive.serial}) *text = trimmed(*text);
  return drive;
}

std::string driveNameOf(const StoredDrive& drive) {
  std::string name;
  for (const std::string* part : {&drive.vendor, &drive.product, &drive.revision}) {
    const std::string text = trimmed(*part);
    if (text.empty()) continue;
    if (!name.empty()) name += ' ';
    name += text;
  }
  return name;
}

std::string discNameOf(const Medium& medium, int32_t discType, int64_t lengthSectors) {
  std::string name = medium.profileName.empty() ? mediumName(medium.kind) : medium.profileName;
  if (medium.kind != MediumKind::CD) {
    if (medium.capacitySectors > 0) name += " " + mediumLengthText(medium);
    return name;
  }
  if (const char* word = discTypeWord(discType)) name += std::string(" ") + word;
  if (lengthSectors > 0) name += " " + trimmed(FormatDiscTime(static_cast<long>(lengthSectors)));
  return name;
}

StoredRun storedRunOf(const FinishedRun& run) {
  const TestResults& r = run.record;
  const RunReport report = makeRunReport(r, run.outcome, run.qualityCheck);
  StoredRun stored;
  stored.drive = trimmedDrive(run.drive);
  const Medium& medium = r.media.medium;
  stored.disc.medium = mediumName(medium.kind);
  stored.disc.profile = medium.profileName;
  stored.disc.type = report.discType.value_or(-1);
  stored.disc.lengthSectors = report.discLengthSectors ? *report.discLengthSectors
                              : medium.capacitySectors > 0 ? medium.capacitySectors
                                                           : -1;
  stored.disc.tocDigest = tocDigest(run.toc);
  stored.disc.manufacturer = trimmed(run.manufacturer);

  RunSummary& s = stored.summary;
  s.utcTime = utcTimeText(run.endTime);
  s.kind = run.qualityCheck ? StoredRunKind::QualityCheck : StoredRunKind::Run;
  s.drive = driveNameOf(stored.drive);
  s.disc = discNameOf(medium, stored.disc.type, stored.disc.lengthSectors);
  s.averageX = report.averageX;
  s.randomSeekMs = report.randomSeekMs;
  s.oneThirdSeekMs = report.oneThirdSeekMs;
  s.fullSeekMs = report.fullSeekMs;
  s.daeScore = report.daeScore;
  s.burstMBps = report.burstMBps;
  s.outcome = run.outcome;

  const SettingsWordArray words = packSettings(run.settings);
  for (size_t i = 0; i < words.size(); ++i) stored.optionWords[i] = static_cast<int32_t>(words[i]);
  stored.programVersion = run.programVersion;
  stored.record = r;
  stored.statusLines = run.statusLines;
  stored.driveCheck = run.driveCheck;
  return stored;
}

}  // namespace tmx
