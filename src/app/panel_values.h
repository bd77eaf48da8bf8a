// The value labels of the main window's result panels: their control ids and
// the result text each shows.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "results/result_texts.h"

namespace tmx {

enum PanelValue : int {
  ValueAverage = 1006,
  ValueStart = 1007,
  ValueEnd = 1008,
  ValueDiscType = 1011,
  ValueLength = 1012,
  ValueReadingType = 1013,
  ValueRandomSeek = 1015,
  ValueOneThirdSeek = 1016,
  ValueFullSeek = 1017,
  ValueCpu1X = 1019,  // 1X, 2X, 4X, 8X: 1019..1022
  ValueDaeScore = 1023,
  ValueBurst = 1024,
};

// Every value label with the text it shows now.
inline std::array<std::pair<int, const std::string*>, 15> panelValueTexts(const ResultTexts& t) {
  return {{{ValueAverage, &t.averageText},
           {ValueStart, &t.startText},
           {ValueEnd, &t.endText},
           {ValueReadingType, &t.readingTypeText},
           {ValueDaeScore, &t.daeScoreText},
           {ValueDiscType, &t.discTypeText},
           {ValueLength, &t.lengthText},
           {ValueRandomSeek, &t.randomSeekText},
           {ValueOneThirdSeek, &t.oneThirdSeekText},
           {ValueFullSeek, &t.fullSeekText},
           {ValueCpu1X, &t.cpuTexts[0]},
           {ValueCpu1X + 1, &t.cpuTexts[1]},
           {ValueCpu1X + 2, &t.cpuTexts[2]},
           {ValueCpu1X + 3, &t.cpuTexts[3]},
           {ValueBurst, &t.burstText}}};
}

}  // namespace tmx
