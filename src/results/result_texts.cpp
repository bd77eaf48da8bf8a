#include "results/result_texts.h"

#include <cmath>
#include <optional>

#include "drive/disc_probe.h"
#include "results/format_string.h"

namespace tmx {

void clearResultTexts(ResultTexts& t) {
  for (std::string* text : {&t.averageText, &t.startText, &t.endText, &t.randomSeekText, &t.oneThirdSeekText,
                            &t.fullSeekText, &t.burstText, &t.daeScoreText, &t.readingTypeText}) {
    text->clear();
  }
  for (std::string& cpu : t.cpuTexts) cpu.clear();
  t.accurateStreamBox = false;
}

std::string speedText(double speedX) { return formatString("%4.2fx", speedX); }
std::string sampleText(double sample) { return speedText(sample / 5); }

std::string discTypeName(int32_t discType) {
  switch (discType) {
    case 0: return "Data";
    case 1: return "Audio";
    case 2: return "Mixed";
    default: return {};
  }
}

std::string seekText(int32_t ms) { return formatString("%ld ms", static_cast<long>(ms)); }
std::string cpuTextLive(int32_t percent) { return formatString("%ld%%", static_cast<long>(percent)); }
std::string cpuTextLoaded(int32_t percent) { return formatString("%ld %%", static_cast<long>(percent)); }
std::string burstText(int32_t mbPerSecond) { return formatString("%ld MB/s", static_cast<long>(mbPerSecond)); }
std::string daeScoreText(int32_t score) { return formatString("%d", static_cast<int>(score)); }

namespace {

template <typename T, typename Format>
std::string textOf(const std::optional<T>& value, Format format) {
  return value ? format(*value) : std::string();
}

void fillSpeedTexts(const RunReport& r, ResultTexts& t) {
  if (!r.transferRan) return;  // no transfer test in this record
  t.startText = textOf(r.startX, speedText);
  t.endText = textOf(r.endX, speedText);
  t.averageText = textOf(r.averageX, speedText);
}

}  // namespace

void fillTextsFromReport(const RunReport& r, ResultTexts& t) {
  fillSpeedTexts(r, t);
  if (r.cpuPercent[0]) {
    for (size_t i = 0; i < t.cpuTexts.size(); ++i) t.cpuTexts[i] = textOf(r.cpuPercent[i], cpuTextLoaded);
  }
  if (r.randomSeekMs) {
    t.randomSeekText = seekText(*r.randomSeekMs);
    t.oneThirdSeekText = textOf(r.oneThirdSeekMs, seekText);
    t.fullSeekText = textOf(r.fullSeekMs, seekText);
  }
  if (r.burstMBps) t.burstText = burstText(*r.burstMBps);
  if (r.daeScore) t.daeScoreText = daeScoreText(*r.daeScore);
  t.accurateStreamBox = r.accurateStream.value_or(false);
  // A length not measured has no time to show.
  t.lengthText = r.discLengthSectors && *r.discLengthSectors > 0 ? FormatDiscTime(*r.discLengthSectors) : std::string();
  t.discTypeText = r.discType ? discTypeName(*r.discType) : std::string();
}

void fillTextsFromRecord(const TestResults& results, ResultTexts& texts) {
  fillTextsFromReport(makeRunReport(results, RunOutcome::LoadedFromFile), texts);
}

std::vector<std::string> summaryLines(const RunReport& r) {
  const auto line = [](const char* label, const std::string& text) {
    return std::string(label) + ": " + (text.empty() ? "N/A" : text);
  };
  const auto cpu = r.outcome == RunOutcome::LoadedFromFile ? cpuTextLoaded : cpuTextLive;
  const bool cd = r.medium.kind == MediumKind::CD;
  std::string length =
      r.discLengthSectors && *r.discLengthSectors > 0 ? FormatDiscTime(*r.discLengthSectors) : std::string();
  std::string type = textOf(r.discType, discTypeName);
  if (!cd) {
    // A DVD or BD is known by its profile and its length in GB.
    length = mediumLengthText(r.medium);
    type = r.medium.profileName.empty() ? mediumName(r.medium.kind) : r.medium.profileName;
  }
  return {
      line("Disc type", type),
      line("Disc length", length),
      line("Average speed", textOf(r.averageX, speedText)),
      line("Start speed", textOf(r.startX, speedText)),
      line("End speed", textOf(r.endX, speedText)),
      line("Reading type", r.readingType.value_or("")),
      line("DAE score", textOf(r.daeScore, daeScoreText)),
      line("Accurate stream", textOf(r.accurateStream, [](bool yes) { return std::string(yes ? "Yes" : "No"); })),
      line("Random seek", textOf(r.randomSeekMs, seekText)),
      line("1/3 seek", textOf(r.oneThirdSeekMs, seekText)),
      line("Full seek", textOf(r.fullSeekMs, seekText)),
      line("CPU usage 1X", textOf(r.cpuPercent[0], cpu)),
      line("CPU usage 2X", textOf(r.cpuPercent[1], cpu)),
      line("CPU usage 4X", textOf(r.cpuPercent[2], cpu)),
      line("CPU usage 8X", textOf(r.cpuPercent[3], cpu)),
      line("Burst rate", textOf(r.burstMBps, burstText)),
  };
}

}  // namespace tmx
