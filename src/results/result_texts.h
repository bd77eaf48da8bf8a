// ResultTexts: the strings the result panels show, one per result; an empty
// text means there is nothing to show. Also the formats that fill them, so the
// engine, the DAT loader and the front ends print values the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "results/run_report.h"
#include "results/test_results.h"

namespace tmx {

struct ResultTexts {
  std::string speedLabelText;  // "Current" during the transfer test, "Average" after it
  std::string averageText;
  std::string startText;
  std::string endText;
  std::string readingTypeText;
  std::string discTypeText;
  std::string lengthText;
  std::string randomSeekText;
  std::string oneThirdSeekText;
  std::string fullSeekText;
  std::array<std::string, 4> cpuTexts;  // 1X, 2X, 4X, 8X
  std::string burstText;
  std::string daeScoreText;
  bool accurateStreamBox = false;
};

// The texts a reset empties: all but speedLabelText, discTypeText and
// lengthText; also unchecks the accurate stream box.
void clearResultTexts(ResultTexts& texts);

// "%4.2fx" of a speed in X.
std::string speedText(double speedX);
// "%4.2fx" of a sample in units of 0.2X.
std::string sampleText(double sample);
// "Data", "Audio", "Mixed" for 0, 1, 2; empty for anything else.
std::string discTypeName(int32_t discType);
// "%ld ms"
std::string seekText(int32_t ms);
// "%ld%%" during a run; "%ld %%" (with a blank) after a DAT load.
std::string cpuTextLive(int32_t percent);
std::string cpuTextLoaded(int32_t percent);
// "%ld MB/s"
std::string burstText(int32_t mbPerSecond);
// "%d"
std::string daeScoreText(int32_t score);

// The panel texts after a DAT load, from the loaded record's report. Texts
// whose result the record does not hold keep what they showed (a loader
// never resets first); speed texts of a transfer test that measured no zone,
// and an end text for a disc shorter than one zone, become empty.
void fillTextsFromReport(const RunReport& report, ResultTexts& texts);
void fillTextsFromRecord(const TestResults& results, ResultTexts& texts);

// A run's results as printable "Label: value" lines, "N/A" for what was not
// measured; for a headless front end.
std::vector<std::string> summaryLines(const RunReport& report);

}  // namespace tmx
