// Any bytes as a DAT file: the block update, the checksum, every text the
// loader and the report derive from the record.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "results/dat_file.h"
#include "results/format_string.h"
#include "results/persisted_block.h"
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

  ResultTexts texts;
  fillTextsFromRecord(results, texts);
  results.lastZone = lastZoneFor(results.discLength);
  texts.readingTypeText = readingType(results);
  const std::string status = formatString("DAT file (V%s) loaded", std::string(formatVersionText(results)).c_str());
  const std::string report = formatTextReport(texts, results, DriveFacts{}, ReportTime{});
  for (const std::string& line : panelLines(texts)) {
    if (line.empty()) std::abort();
  }
  if (status.empty() || report.empty()) std::abort();
  return 0;
}
