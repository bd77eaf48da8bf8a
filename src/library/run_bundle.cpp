#include "library/run_bundle.h"

namespace tmx {

std::string bundleText(std::span<const StoredRun>) { return {}; }
BundleRead readBundle(std::string_view) { return {{}, "not built yet"}; }

}  // namespace tmx
