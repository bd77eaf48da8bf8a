#include "results/report_figures.h"

#include "results/format_string.h"

namespace tmx {
namespace {

ReportFigure number(const char* label, const char* unit, std::optional<double> value, int decimals,
                    bool lowerIsBetter = false) {
  return {label, unit, value, figureText(value, unit, decimals), lowerIsBetter};
}

template <typename T>
std::optional<double> asDouble(const std::optional<T>& value) {
  return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

ReportFigure word(const char* label, const std::optional<std::string>& text) {
  return {label, "", std::nullopt, text.value_or(kNotMeasured), false};
}

void addCheck(const RunReport& r, std::vector<ReportFigure>& rows) {
  const size_t first = rows.size();
  if (r.qualityCheck) {
    rows.push_back(number("C2 errors", "", static_cast<double>(r.qualityCheck->errors), 0, true));
  }
  if (r.readScan) {
    const ReadScan& scan = *r.readScan;
    rows.push_back(number("Blocks read", "", static_cast<double>(scan.blocksRead), 0));
    static constexpr const char* kBuckets[kLatencyBucketCount] = {"Reads under 3 ms",   "Reads under 10 ms",
                                                                  "Reads under 50 ms",  "Reads under 150 ms",
                                                                  "Reads under 500 ms", "Reads of 500 ms or more"};
    for (int b = 0; b < kLatencyBucketCount; ++b) {
      rows.push_back(
          number(kBuckets[b], "", static_cast<double>(scan.latencyBuckets[static_cast<size_t>(b)]), 0, b > 0));
    }
    rows.push_back(number("Failed reads", "", static_cast<double>(scan.failedBlocks.size()), 0, true));
    rows.push_back(number("Unreadable sectors", "", static_cast<double>(scan.unreadableSectors), 0, true));
  }
  for (size_t i = first; i < rows.size(); ++i) rows[i].ofCheck = true;
}

}  // namespace

std::string figureText(std::optional<double> value, const std::string& unit, int decimals) {
  if (!value) return kNotMeasured;
  std::string text = formatString("%.*f", decimals, *value);
  if (unit.empty()) return text;
  return text + (unit == "%" ? "" : " ") + unit;
}

std::vector<ReportFigure> reportFigures(const RunReport& r) {
  std::vector<ReportFigure> rows{
      number("Average speed", "X", r.averageX, 2),
      number("Start speed", "X", r.startX, 2),
      number("End speed", "X", r.endX, 2),
      word("Reading type", r.readingType),
      number("DAE score", "", asDouble(r.daeScore), 0),
      word("Accurate stream",
           r.accurateStream ? std::optional<std::string>(*r.accurateStream ? "Yes" : "No") : std::nullopt),
      number("Random seek", "ms", asDouble(r.randomSeekMs), 0, true),
      number("1/3 seek", "ms", asDouble(r.oneThirdSeekMs), 0, true),
      number("Full seek", "ms", asDouble(r.fullSeekMs), 0, true),
      number("CPU usage 1X", "%", asDouble(r.cpuPercent[0]), 0, true),
      number("CPU usage 2X", "%", asDouble(r.cpuPercent[1]), 0, true),
      number("CPU usage 4X", "%", asDouble(r.cpuPercent[2]), 0, true),
      number("CPU usage 8X", "%", asDouble(r.cpuPercent[3]), 0, true),
      number("Burst rate", "MB/s", asDouble(r.burstMBps), 0),
      number("Spin-up time", "s", r.spinUpSeconds, 2, true),
      number("Spin-down time", "s", r.spinDownSeconds, 2, true),
  };
  addCheck(r, rows);
  return rows;
}

}  // namespace tmx
