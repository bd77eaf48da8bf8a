#include "library/stored_run_names.h"

#include <array>

namespace tmx {

std::string_view kindName(StoredRunKind kind) {
  switch (kind) {
    case StoredRunKind::Run: return "run";
    case StoredRunKind::QualityCheck: return "quality-check";
  }
  return "unknown";  // the schema's CHECK refuses it
}

std::optional<StoredRunKind> kindOfName(std::string_view name) {
  if (name == "run") return StoredRunKind::Run;
  if (name == "quality-check") return StoredRunKind::QualityCheck;
  return std::nullopt;
}

std::optional<RunOutcome> outcomeOfName(std::string_view name) {
  // None also reads "not started"; a stored run never has it, NotStarted is the word's owner.
  static constexpr std::array kOutcomes = {RunOutcome::Completed, RunOutcome::Aborted, RunOutcome::Cancelled,
                                           RunOutcome::LoadedFromFile, RunOutcome::NotStarted};
  for (const RunOutcome o : kOutcomes)
    if (outcomeName(o) == name) return o;
  return std::nullopt;
}

std::optional<MediumKind> mediumKindOfName(std::string_view name) {
  for (const MediumKind k : {MediumKind::CD, MediumKind::DVD, MediumKind::BD})
    if (name == mediumName(k)) return k;
  return std::nullopt;
}

}  // namespace tmx
