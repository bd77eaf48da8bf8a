// The comparison of 8 runs drawn: the overlaid curves' shapes and their SVG,
// and the figures' table, for 8 whole CD runs (41 zones each) and 8 DVD runs
// (an 8.5 GB disc in 200 zones), against a budget of 50 ms; beside it one
// speed graph's SVG of a run, measured in the same run, as the ratio.
//
//   bench_compare [--repeat N]   (default 200)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "program/compare_graph.h"
#include "program/compare_table.h"
#include "program/graph_svg.h"

namespace {

using namespace tmx;
using Clock = std::chrono::steady_clock;

constexpr double kBudgetMs = 50.0;

std::vector<ComparedRun> cdRuns() {
  std::vector<ComparedRun> runs;
  for (int r = 0; r < kMaxComparedRuns; ++r) {
    ComparedRun run{
        "#" + std::to_string(r + 1),
        "#" + std::to_string(r + 1) + " 2026-12-09 06:14 DRIVE " + std::to_string(r) + ", CD audio 74:00.00",
        {}};
    for (int z = 0; z <= kMaxLastZone; ++z) run.report.zones.push_back({z * kSectorsPerZone, 20.0 + r + 0.7 * z});
    run.report.averageX = 30.0 + r;
    run.report.randomSeekMs = 80 + r;
    runs.push_back(std::move(run));
  }
  return runs;
}

std::vector<ComparedRun> dvdRuns() {
  std::vector<ComparedRun> runs = cdRuns();
  for (ComparedRun& run : runs) {
    run.report.medium = Medium{MediumKind::DVD, 0x002B, "DVD+R DL", 2, false, 4'173'824, 2'086'912};
    run.report.zones.clear();
    for (int z = 0; z < 200; ++z) run.report.zones.push_back({z * 4'173'824LL / 200, 4.0 + z * 0.05});
  }
  return runs;
}

struct Timing {
  double medianMs, maxMs;
  size_t bytes;
};

template <typename Work>
Timing timed(int repeat, Work work) {
  std::vector<double> ms;
  size_t bytes = 0;
  for (int i = 0; i < repeat; ++i) {
    const auto start = Clock::now();
    bytes = work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back(), bytes};
}

// Shapes, SVG and the table of the runs: what --compare and the Compare window draw.
size_t drawComparison(const std::vector<ComparedRun>& runs) {
  const CompareGraph graph = compareGraph(compareCurvesOf(runs), 800, 500);
  const std::string svg = shapesSvg(graph.shapes, 800, 500);
  const std::string table = compareTableText(compareTable(runs), runs);
  return svg.size() + table.size();
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 200;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--repeat") == 0) repeat = std::max(1, std::atoi(argv[i + 1]));
  }
  const auto cd = cdRuns();
  const auto dvd = dvdRuns();
  TestResults record;
  resetRecord(record);
  record.discLength = 333'000;
  clearSpeedSamples(record);
  for (int z = 0; z <= kMaxLastZone; ++z) storeSpeedSample(record, z, 100 + 3.5 * z);
  const AppSettings settings;

  const Timing one = timed(repeat, [&] { return recordGraphSvg(settings, record, false, 0).size(); });
  const Timing cdTiming = timed(repeat, [&] { return drawComparison(cd); });
  const Timing dvdTiming = timed(repeat, [&] { return drawComparison(dvd); });

  std::printf("comparison of %d runs drawn (shapes, SVG, table), %d times each; budget %.0f ms\n", kMaxComparedRuns,
              repeat, kBudgetMs);
  std::printf("  one speed graph's SVG:  median %7.3f ms  max %7.3f ms  (%zu bytes)\n", one.medianMs, one.maxMs,
              one.bytes);
  const auto report = [&](const char* name, const Timing& t) {
    std::printf("  %-22s median %7.3f ms  max %7.3f ms  (%zu bytes)  %.1fx one graph, %s\n", name, t.medianMs, t.maxMs,
                t.bytes, t.medianMs / one.medianMs, t.maxMs < kBudgetMs ? "within budget" : "OVER BUDGET");
  };
  report("8 CD runs, 41 zones:", cdTiming);
  report("8 DVD runs, 200 zones:", dvdTiming);
  return cdTiming.maxMs < kBudgetMs && dvdTiming.maxMs < kBudgetMs ? 0 : 1;
}
