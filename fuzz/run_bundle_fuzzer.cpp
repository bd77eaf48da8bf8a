// Any bytes as a bundle of runs: every field checked, all runs or none; a
// bundle that is taken writes back as one that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "library/run_bundle.h"
#include "library/run_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const BundleRead read = readBundle(text);
  if (read.error.empty() == false && !read.runs.empty()) std::abort();
  if (!read.error.empty()) return 0;
  // What was taken is within the bounds the writer keeps: it reads back whole
  // and writes the same text again.
  const std::string written = bundleText(read.runs);
  const BundleRead again = readBundle(written);
  if (!again.error.empty() || again.runs.size() != read.runs.size()) std::abort();
  if (bundleText(again.runs) != written) std::abort();
  if (runsCsv(read.runs).empty()) std::abort();
  return 0;
}
