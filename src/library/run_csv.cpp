#include "library/run_csv.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "library/stored_run_names.h"
#include "results/run_report.h"

namespace tmx {
namespace {

constexpr std::string_view kHeader =
    "id,utc_time,kind,outcome,drive,serial,emulated,disc,medium,profile,disc_type,disc_length (sectors),"
    "program_version,average (X),start (X),end (X),reading_type,random_seek (ms),one_third_seek (ms),"
    "full_seek (ms),dae_score (0-10),accurate_stream,cpu_at_1x (%),cpu_at_2x (%),cpu_at_4x (%),cpu_at_8x (%),"
    "burst (MB/s),spin_up (s),spin_down (s),c2_errors,scan_blocks_read,scan_unreadable (sectors)";

std::string quoted(std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
  std::string out = "\"";
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

template <class T>
std::string number(const std::optional<T>& value) {
  if (!value) return {};
  if constexpr (std::is_floating_point_v<T>) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", *value);
    return text;
  } else {
    return std::to_string(*value);
  }
}

std::vector<std::string> rowOf(const StoredRun& run) {
  const bool check = run.summary.kind == StoredRunKind::QualityCheck;
  const RunReport r = makeRunReport(run.record, run.summary.outcome, check);
  std::vector<std::string> row = {
      std::to_string(run.summary.id), run.summary.utcTime, std::string(kindName(run.summary.kind)),
      std::string(outcomeName(run.summary.outcome)), run.summary.drive, run.drive.serial,
      run.drive.emulated ? "yes" : "no", run.summary.disc, run.disc.medium, run.disc.profile,
      number(r.discType), number(r.discLengthSectors.has_value() ? std::optional<int64_t>(*r.discLengthSectors)
                                 : run.disc.lengthSectors >= 0 ? std::optional<int64_t>(run.disc.lengthSectors)
                                                               : std::nullopt),
      run.programVersion, number(r.averageX), number(r.startX), number(r.endX), r.readingType.value_or(""),
      number(r.randomSeekMs), number(r.oneThirdSeekMs), number(r.fullSeekMs), number(r.daeScore),
      r.accurateStream ? (*r.accurateStream ? "yes" : "no") : ""};
  for (const auto& cpu : r.cpuPercent) row.push_back(number(cpu));
  row.push_back(number(r.burstMBps));
  row.push_back(number(r.spinUpSeconds));
  row.push_back(number(r.spinDownSeconds));
  row.push_back(r.qualityCheck ? std::to_string(r.qualityCheck->errors) : "");
  row.push_back(r.readScan ? std::to_string(r.readScan->blocksRead) : "");
  row.push_back(r.readScan ? std::to_string(r.readScan->unreadableSectors) : "");
  return row;
}

}  // namespace

std::string runsCsv(std::span<const StoredRun> runs) {
  std::string out = std::string(kHeader) + "\r\n";
  for (const StoredRun& run : runs) {
    const auto row = rowOf(run);
    for (size_t i = 0; i < row.size(); ++i) out += (i ? "," : "") + quoted(row[i]);
    out += "\r\n";
  }
  return out;
}

}  // namespace tmx
