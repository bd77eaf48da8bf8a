// A ripping-features check that just ended, as the results library keeps it:
// its answers (the JSON text of the "ripping" object and the text lines the
// CLI prints), the drive, the disc the probe found, the version and the time.
//
//   StoredRippingCheck stored = storedRippingCheckOf(finishedRippingOf(app, features, stopped, facts));
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "drive/medium.h"
#include "library/stored_ripping.h"
#include "program/application.h"
#include "ripping/ripping_features.h"

namespace tmx {

struct FinishedRipping {
  const RippingFeatures& features;
  bool stopped = false;
  StoredDrive drive{};  // INQUIRY texts as the drive sent them; they are trimmed here
  Medium medium{};
  int64_t lengthSectors = -1;
  std::vector<uint8_t> toc{};  // the READ TOC reply the disc was classified by; empty when none
  std::string manufacturer{};  // of a CD-R or CD-RW, where known, as recordableManufacturer gives it
  std::string programVersion{};
  std::chrono::system_clock::time_point endTime{};
};

// Pure. The disc's type is the check's (its discKind).
StoredRippingCheck storedRippingCheckOf(const FinishedRipping& check);

// The facts of the selected drive and its disc. Sends GET CONFIGURATION for
// the serial number and, of a CD-R or CD-RW, reads its ATIP, as a run's
// record does (driveSerialNumber, recordableManufacturer).
FinishedRipping finishedRippingOf(Application& app, const RippingFeatures& features, bool stopped,
                                  const DriveFacts& facts);

}  // namespace tmx
