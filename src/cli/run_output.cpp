#include "cli/run_output.h"

#include <chrono>
#include <cstdio>

#include "cli/json_report.h"
#include "drive/disc_probe.h"
#include "library/stored_run_builder.h"
#include "program/graph_svg.h"
#include "program/report_page.h"
#include "results/dat_file.h"
#include "results/result_texts.h"
#include "results/safe_text.h"
#include "results/text_report.h"
#include "tmx_version.h"

namespace tmx::cli {

void printSummary(const RunReport& report) {
  for (const auto& line : summaryLines(report)) std::printf("%s\n", safeText(line).c_str());
}

void printQualityMap(const TestResults& record) {
  int last = -1;
  for (int b = 0; b < kQualityBlockCount; ++b) {
    if (record.qualityMap[static_cast<size_t>(b)] >= 0) last = b;
  }
  if (last < 0) return;
  std::printf("\nC2 error map, one character per 900 sectors ('.' none, 1-9 class, '#' 10 and above):\n");
  for (int row = 0; row <= last; row += 50) {
    std::string line;
    for (int b = row; b < row + 50 && b <= last; ++b) {
      const int c = record.qualityMap[static_cast<size_t>(b)];
      line += c < 0 ? ' ' : c == 0 ? '.' : c < 10 ? static_cast<char>('0' + c) : '#';
    }
    std::printf("%s %s\n", FormatDiscTime(row * 900L).c_str(), line.c_str());
  }
}

bool saveRunFiles(const CliOptions& options, RunFiles& run, bool datFile, const AppSettings& settings,
                  Clock& clock, SavePhase& saves) {
  bool ok = true;
  if (datFile && options.saveDat) {
    ok = saves.check(saveDatFile(*options.saveDat, run.results.record, run.facts, saves.control(*options.saveDat)));
  }
  if (options.saveReport) {
    ok = saves.check(saveTextReport(*options.saveReport, run.results.texts, run.results.record, run.facts, clock,
                                    saves.control(*options.saveReport))) &&
         ok;
  }
  if (options.saveStatus) ok = saves.writeText(*options.saveStatus, statusLogText(run.statusLines)) && ok;
  if (options.json) {
    const RunReport report = makeRunReport(run.results.record, run.outcome, run.qualityCheck);
    ok = saves.writeText(*options.json, formatJsonReport({report, run.statusLines, run.facts})) && ok;
  }
  if (options.graphSvg) {
    ok = saves.writeText(*options.graphSvg,
                         recordGraphSvg(settings, run.results.record, run.qualityCheck, run.discSectors)) &&
         ok;
  }
  if (options.saveHtml) {
    const LiveRunPage live{run.results.record, run.outcome, run.qualityCheck, run.discSectors, run.facts,
                           run.statusLines, TMX_VERSION, utcTimeText(std::chrono::system_clock::now()), {}};
    const ReportPageInput page = run.stored ? reportPageOf(*run.stored, settings) : reportPageOf(live, settings);
    ok = saves.writeText(*options.saveHtml, reportPageHtml(page)) && ok;
  }
  return ok;
}

}  // namespace tmx::cli
