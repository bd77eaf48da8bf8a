// Any bytes as a DAT file: the block update, the checksum, the range checks,
// every text the loader and the report derive from the record.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "results/dat_file.h"
#include "results/format_string.h"
#include "results/persisted_block.h"
#include "results/plausible_values.h"
#include "results/result_texts.h"
#include "results/text_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::span<const uint8_t> file(data, size);
  TestResults results;
  resetRecord(results);
  const DatLoadInfo info = applyDatBytes(file, results);

  // The block holds the file's leading bytes exactly, and the rest of the reset.
  const PersistedBlock block = encodePersistedBlock(results);
  if (std::memcmp(block.data(), data, info.blockBytes) != 0) std::abort();
  if (info.checksumPresent != (size >= kDatFileSize)) std::abort();

  // After the range checks every figure is a measurement in its range or
  // its not-measured marker, and a second pass finds nothing more.
  clearImpossibleValues(results);
  const auto inRange = [](int32_t v, int32_t low, int32_t high) { return v == -1 || (v >= low && v <= high); };
  if (!inRange(results.discLength, 1, kMaxDiscSectors) || !inRange(results.discType, 0, 2) ||
      !inRange(results.daeScore, 0, 10) || !inRange(results.accurateStream, 0, 1) ||
      !inRange(results.randomSeekMs, 0, kMaxSeekMs) || !inRange(results.fullSeekMs, 0, kMaxSeekMs) ||
      !inRange(results.burstRate, 0, kMaxBurstMBps) || !inRange(results.readSpeed, 0, kMaxReadSpeedKBps)) {
    std::abort();
  }
  for (const int32_t cpu : results.cpuUsage) {
    if (!inRange(cpu, 0, 100)) std::abort();
  }
  for (const double s : results.speedSamples) {
    if (!std::isnan(s) && s != -1.0 && !(s >= 0.0 && s <= kMaxSpeedSample)) std::abort();
  }
  if (clearImpossibleValues(results) != 0) std::abort();

  ResultTexts texts;
  const RunReport loaded = makeRunReport(results, RunOutcome::LoadedFromFile);
  fillTextsFromReport(loaded, texts);
  results.lastZone = lastZoneFor(results.discLength);
  texts.readingTypeText = readingType(results);
  const std::string status = formatString("DAT file (V%s) loaded", std::string(formatVersionText(results)).c_str());
  const std::string report = formatTextReport(texts, loaded, DriveFacts{}, ReportTime{});
  for (const std::string& line : summaryLines(loaded)) {
    if (line.empty()) std::abort();
  }
  if (status.empty() || report.empty()) std::abort();
  return 0;
}
