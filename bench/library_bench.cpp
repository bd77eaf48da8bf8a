// The results library's figures, measured in one run on a real SQLite file
// in a scratch folder:
//  1. recording one run (a CD run with its 50 zones, quality map and status
//     lines) in its own transaction, as a finished run is recorded: median
//     and p99 of 200, against the 10 ms target;
//  2. listing 10,000 runs newest first: median of 10, against 100 ms;
//  3. loading one run back, and writing and reading a bundle of 100 runs.
//
//   bench_library [FOLDER]   (default: a new folder under the temporary one)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "library/results_library.h"
#include "library/run_bundle.h"
#include "library/stored_run_builder.h"

namespace {

using namespace tmx;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

StoredRun sampleRun(int i) {
  TestResults record;
  resetRecord(record);
  record.discLength = 333000;
  record.discType = 1;
  clearSpeedSamples(record);
  for (int z = 0; z < 37; ++z) storeSpeedSample(record, z, 80.0 + z * 2.5 + i % 7);
  record.lastZone = 36;
  record.randomSeekMs = 80 + i % 20;
  record.oneThirdSeekMs = 110;
  record.fullSeekMs = 160;
  record.daeScore = 9;
  record.spinUpTime = 1.5;
  for (int b = 0; b < kQualityBlockCount; ++b) record.qualityMap[static_cast<size_t>(b)] = b % 3;
  FinishedRun finished{record, RunOutcome::Completed};
  finished.drive = {"VENDOR" + std::to_string(i % 5), "CDROM 40X", "1.0", "SN" + std::to_string(i), "", "", true};
  finished.programVersion = "bench";
  finished.endTime = std::chrono::system_clock::now() + std::chrono::seconds(i);
  for (int l = 0; l < 20; ++l) finished.statusLines.push_back("[06:00:00]   status line " + std::to_string(l));
  return storedRunOf(finished);
}

void recordOneRun(const std::filesystem::path& folder) {
  ResultsLibrary lib = ResultsLibrary::open(folder / "record.sqlite");
  std::vector<double> ms;
  for (int i = 0; i < 200; ++i) {
    const StoredRun run = sampleRun(i);
    const auto start = Clock::now();
    if (!lib.record(run)) std::printf("record failed\n");
    ms.push_back(msSince(start));
  }
  const double median = percentile(ms, 0.5);
  std::printf("record one run:      median %.3f ms, p99 %.3f ms  (target 10 ms: %.1f%% of it)\n", median,
              percentile(ms, 0.99), 100.0 * median / 10.0);
}

void listTenThousand(const std::filesystem::path& folder) {
  ResultsLibrary lib = ResultsLibrary::open(folder / "list.sqlite");
  std::vector<StoredRun> runs;
  for (int i = 0; i < 10'000; ++i) runs.push_back(sampleRun(i));
  const auto fill = Clock::now();
  if (!lib.recordAll(runs)) std::printf("fill failed\n");
  std::printf("fill 10,000 runs:    %.0f ms in one transaction (%.3f ms per run)\n", msSince(fill),
              msSince(fill) / 10'000);
  std::vector<double> ms;
  size_t rows = 0;
  for (int i = 0; i < 10; ++i) {
    const auto start = Clock::now();
    rows = lib.list().value->size();
    ms.push_back(msSince(start));
  }
  const double median = percentile(ms, 0.5);
  std::printf("list %zu runs:     median %.2f ms  (target 100 ms: %.1f%% of it)\n", rows, median, 100.0 * median / 100.0);
  std::vector<double> load;
  for (int i = 1; i <= 100; ++i) {
    const auto start = Clock::now();
    if (!lib.load(i * 97)) std::printf("load failed\n");
    load.push_back(msSince(start));
  }
  std::printf("load one run:        median %.3f ms\n", percentile(load, 0.5));
  const std::vector<StoredRun> hundred(runs.begin(), runs.begin() + 100);
  const auto write = Clock::now();
  const std::string bundle = bundleText(hundred);
  const double writeMs = msSince(write);
  const auto read = Clock::now();
  const BundleRead back = readBundle(bundle);
  std::printf("bundle of 100 runs:  %.1f MB, written in %.1f ms, read and checked in %.1f ms%s\n",
              static_cast<double>(bundle.size()) / 1e6, writeMs, msSince(read), back.error.empty() ? "" : " FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tmx-library-bench-XXXXXX").string();
  const std::filesystem::path folder = argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(::mkdtemp(pattern.data()));
  std::filesystem::create_directories(folder);
  std::printf("results library on SQLite in %s\n", folder.c_str());
  recordOneRun(folder);
  listTenThousand(folder);
  if (argc <= 1) std::filesystem::remove_all(folder);
  return 0;
}
