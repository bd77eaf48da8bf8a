#include "results/result_texts.h"

#include <cmath>

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

// A measured int field gives its text; -1 (not measured) gives an empty one.
template <typename Format>
std::string measuredText(int32_t value, Format format) {
  return value == -1 ? std::string() : format(value);
}

bool measuredSample(double sample) { return sample != -1.0 && !std::isnan(sample); }

void fillSpeedTexts(const TestResults& r, ResultTexts& t) {
  const double first = r.speedSamples[0];
  if (first == 0.0 || std::isnan(first)) return;  // no transfer test in this record
  if (first == -1.0) {
    // The test was started but stopped before its first zone.
    t.startText.clear();
    t.endText.clear();
    t.averageText.clear();
    return;
  }
  t.startText = sampleText(first);
  const int32_t endIndex = lastZoneFor(r.discLength);
  const bool haveEnd = endIndex >= 0 && measuredSample(r.speedSamples[static_cast<size_t>(endIndex)]);
  t.endText = haveEnd ? sampleText(r.speedSamples[static_cast<size_t>(endIndex)]) : std::string();
  const auto average = averageSpeed(r);
  t.averageText = average ? speedText(*average) : std::string();
}

}  // namespace

void fillTextsFromRecord(const TestResults& r, ResultTexts& t) {
  fillSpeedTexts(r, t);
  if (r.cpuUsage[0] != -1) {
    for (size_t i = 0; i < t.cpuTexts.size(); ++i) t.cpuTexts[i] = measuredText(r.cpuUsage[i], cpuTextLoaded);
  }
  if (r.randomSeekMs != -1) {
    t.randomSeekText = seekText(r.randomSeekMs);
    t.oneThirdSeekText = measuredText(r.oneThirdSeekMs, seekText);
    t.fullSeekText = measuredText(r.fullSeekMs, seekText);
  }
  if (r.burstRate != -1) t.burstText = burstText(r.burstRate);
  if (r.daeScore != -1) t.daeScoreText = daeScoreText(r.daeScore);
  t.accurateStreamBox = r.accurateStream == 1;
  // A length not measured (-1) has no time to show.
  t.lengthText = r.discLength > 0 ? FormatDiscTime(r.discLength) : std::string();
  t.discTypeText = discTypeName(r.discType);
}

std::vector<std::string> panelLines(const ResultTexts& t) {
  const auto line = [](const char* label, const std::string& text) {
    return std::string(label) + ": " + (text.empty() ? "N/A" : text);
  };
  return {
      line("Disc type", t.discTypeText),
      line("Disc length", t.lengthText),
      line("Average speed", t.averageText),
      line("Start speed", t.startText),
      line("End speed", t.endText),
      line("Reading type", t.readingTypeText),
      line("DAE score", t.daeScoreText),
      std::string("Accurate stream: ") + (t.accurateStreamBox ? "Yes" : "No"),
      line("Random seek", t.randomSeekText),
      line("1/3 seek", t.oneThirdSeekText),
      line("Full seek", t.fullSeekText),
      line("CPU usage 1X", t.cpuTexts[0]),
      line("CPU usage 2X", t.cpuTexts[1]),
      line("CPU usage 4X", t.cpuTexts[2]),
      line("CPU usage 8X", t.cpuTexts[3]),
      line("Burst rate", t.burstText),
  };
}

}  // namespace tmx
