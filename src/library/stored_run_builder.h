// A StoredRun from what a finished run has: its record and outcome, the
// drive, the disc, the options, the program's version, the time and the
// status list. Pure: the caller gathers the facts (program/ asks the drive).
//
//   FinishedRun finished{app.results().record, outcome};
//   finished.drive = {...};
//   if (worthRecording(finished)) library.record(storedRunOf(finished));
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "library/stored_run.h"
#include "results/app_settings.h"
#include "results/test_results.h"

namespace tmx {

struct FinishedRun {
  const TestResults& record;
  RunOutcome outcome = RunOutcome::None;
  bool qualityCheck = false;        // the CD quality check or a DVD's or BD's read scan
  StoredDrive drive{};              // INQUIRY texts as the drive sent them; they are trimmed here
  std::vector<uint8_t> toc{};       // the READ TOC reply the disc was classified by; empty when none
  std::string manufacturer{};       // of recordable media, where known
  AppSettings settings{};
  std::string programVersion{};
  std::chrono::system_clock::time_point endTime{};
  std::vector<std::string> statusLines{};
  std::vector<std::string> driveCheck{};
};

// A run that measured anything (completed, aborted or cancelled with a
// figure) and every quality check or read scan that ran.
bool worthRecording(const FinishedRun& run);

StoredRun storedRunOf(const FinishedRun& run);

// "2026-12-09T06:14:26Z".
std::string utcTimeText(std::chrono::system_clock::time_point time);
// 16 hex digits of FNV-1a 64 over the TOC's bytes as far as its data length
// (bytes 0-1) reaches; empty for no TOC.
std::string tocDigest(std::span<const uint8_t> toc);
// The drive with its INQUIRY texts and serial number trimmed of blanks at
// both ends, as the library keeps them.
StoredDrive trimmedDrive(StoredDrive drive);
// "VENDOR PRODUCT REV": the trimmed texts, blanks between.
std::string driveNameOf(const StoredDrive& drive);
// "CD audio 74:00.00", "CD-R data 79:59.74", "DVD+R DL 8.55 GB"; "CD" alone
// when nothing of the disc is known.
std::string discNameOf(const Medium& medium, int32_t discType, int64_t lengthSectors);

}  // namespace tmx
