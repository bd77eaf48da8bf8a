// A run as the results library keeps it: who measured what on which disc,
// the record it filled (shown again as a DAT load shows one), its status
// lines and, for the library's list, a summary of its main figures. Plain
// data: the library, the comparison and the report page share it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/run_report.h"
#include "results/test_results.h"

namespace tmx {

enum class StoredRunKind { Run, QualityCheck };  // a test run, or the CD quality check / read scan

struct StoredDrive {
  std::string vendor, product, revision;  // INQUIRY, padding trimmed
  std::string serial{};                  // empty where the drive reports none
  std::string controller{}, driver{};       // as the drive check finds them; empty when unknown
  bool emulated = false;
};

struct StoredDisc {
  std::string medium;   // "CD", "DVD", "BD"
  std::string profile;  // "DVD-ROM", "BD-R", ...; empty for a drive without profiles
  int32_t type = -1;    // 0 data, 1 audio, 2 mixed, -1 unknown
  int64_t lengthSectors = -1;
  std::string tocDigest;     // hex digest of the TOC; empty when none was read
  std::string manufacturer;  // of recordable media, where identified
};

// One line of the library's list.
struct RunSummary {
  int64_t id = 0;
  std::string utcTime;  // "2026-12-09T06:14:26Z"
  StoredRunKind kind = StoredRunKind::Run;
  std::string drive;  // "VENDOR PRODUCT REV"
  std::string disc;   // e.g. "CD audio 74:00.00", "DVD-ROM 4.38 GB"
  std::optional<double> averageX{};
  std::optional<int32_t> randomSeekMs{}, oneThirdSeekMs{}, fullSeekMs{};
  std::optional<int32_t> daeScore{};
  std::optional<int32_t> burstMBps{};
  RunOutcome outcome = RunOutcome::None;
};

struct StoredRun {
  RunSummary summary;
  StoredDrive drive;
  StoredDisc disc;
  std::array<int32_t, 3> optionWords{};  // the three stored option words of the run
  std::string programVersion;
  TestResults record;                    // as the run left it (medium results included)
  std::vector<std::string> statusLines;  // "[hh:mm:ss]   text" as the status list showed them
  std::vector<std::string> driveCheck;   // the drive check's lines, when one was made
};

}  // namespace tmx
