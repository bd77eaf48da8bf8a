#include "app/ripping_history.h"

#include <utility>

#include "library/stored_run_builder.h"

namespace tmx {

std::string rippingDriveName(const DriveFacts& facts) {
  StoredDrive drive;
  drive.vendor = facts.vendor;
  drive.product = facts.product;
  drive.revision = facts.revision;
  return driveNameOf(trimmedDrive(drive));
}

RippingHistory::RippingHistory(LibraryAccess& access, std::string driveName)
    : access_(access), driveName_(std::move(driveName)) {
  ResultsLibrary* library = access_.library();
  if (library == nullptr) {
    failure_ = access_.failure();
    return;
  }
  const auto listed = library->listRipping(driveName_);
  if (!listed) {
    failure_ = listed.error;
    return;
  }
  for (const RippingCheckSummary& s : *listed.value) {
    std::string when = s.utcTime.size() == 20 ? s.utcTime.substr(0, 10) + " " + s.utcTime.substr(11, 5) : s.utcTime;
    checks_.push_back({s.id, when + "  " + s.verdict + (s.stopped ? " (stopped)" : "")});
  }
}

std::optional<std::vector<std::string>> RippingHistory::lines(int64_t id) {
  ResultsLibrary* library = access_.library();
  if (library == nullptr) {
    failure_ = access_.failure();
    return std::nullopt;
  }
  auto check = library->loadRipping(id);
  if (!check) {
    failure_ = check.error;
    return std::nullopt;
  }
  return std::move(check.value->lines);
}

}  // namespace tmx
