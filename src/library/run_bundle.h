// The bundle: runs of a library as one JSON file that another machine
// imports. Self-describing ("format": "tachometrix-runs") and versioned;
// every figure with its unit in its key, null where not measured.
//
//   std::string text = bundleText(runs);
//   BundleRead back = readBundle(text);   // back.error: "runs[2].record.speedSamples[4]: not a number"
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "library/stored_run.h"

namespace tmx {

inline constexpr std::string_view kBundleFormat = "tachometrix-runs";
inline constexpr int kBundleVersion = 1;

// The bundle of `runs`, pretty-printed, ending with a newline.
std::string bundleText(std::span<const StoredRun> runs);

struct BundleRead {
  std::vector<StoredRun> runs;  // empty on error
  std::string error;            // empty when the whole bundle is good: "FIELD: what is wrong"
};

// Checks every field (types, bounds, lengths) and takes all runs or none.
// Ids are not kept: the importing library gives its own.
BundleRead readBundle(std::string_view text);

}  // namespace tmx
