// The words a stored run's kind, outcome and medium are kept as, in the
// library's columns and in bundles, and back.
#pragma once

#include <optional>
#include <string_view>

#include "drive/medium.h"
#include "library/stored_run.h"
#include "results/run_report.h"

namespace tmx {

// "run", "quality-check".
std::string_view kindName(StoredRunKind kind);
std::optional<StoredRunKind> kindOfName(std::string_view name);
// outcomeName's words back: "completed" -> Completed; "not started" -> NotStarted.
std::optional<RunOutcome> outcomeOfName(std::string_view name);
// "CD", "DVD", "BD" back.
std::optional<MediumKind> mediumKindOfName(std::string_view name);

}  // namespace tmx
