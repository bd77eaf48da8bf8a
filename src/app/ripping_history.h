// The earlier ripping-features checks of one drive, as the results library
// keeps them, for the ripping-features window: a label each, newest first,
// and the answers of the one chosen. A library that cannot be read gives its
// reason instead, never an empty list that looks like none.
//
//   RippingHistory history(access, rippingDriveName(facts));
//   for (const auto& c : history.checks()) combo.add(c.label);   // "2026-12-09 10:51  No audio cache; ..."
//   auto lines = history.lines(history.checks()[0].id);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/library_access.h"
#include "results/drive_facts.h"

namespace tmx {

// The drive's name as the library files it: "VENDOR PRODUCT REV", padding trimmed.
std::string rippingDriveName(const DriveFacts& facts);

struct EarlierCheck {
  int64_t id = 0;
  std::string label;
};

class RippingHistory {
 public:
  // Reads the list at once: the window shows it as it opens.
  RippingHistory(LibraryAccess& access, std::string driveName);

  const std::vector<EarlierCheck>& checks() const { return checks_; }
  // Why the list could not be read; empty when it was.
  const std::string& failure() const { return failure_; }
  // The stored answers of one check, or why not (in `failure`).
  std::optional<std::vector<std::string>> lines(int64_t id);

 private:
  LibraryAccess& access_;
  std::string driveName_;
  std::vector<EarlierCheck> checks_;
  std::string failure_;
};

}  // namespace tmx
