// Command-line options of tachometrix-cli, parsed by a pure function.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tmx::cli {

enum class TimeMode { Real, Scaled, Virtual };

struct CliOptions {
  bool help = false;
  bool version = false;
  bool list = false;
  bool probe = false;
  std::optional<std::string> drive;  // "N" (table index) or "H:T"
  bool emulatedOnly = false;
  bool noEmulated = false;
  TimeMode timeMode = TimeMode::Real;
  double timeScale = 1.0;
  std::optional<std::string> emulatedConfig;
  std::vector<std::string> faults;

  // Runs. runTests: "selected" (as Start) or one test's name.
  std::optional<std::string> runTests;
  std::optional<std::vector<int>> select;  // overrides the options' selection
  std::optional<int> testLength;           // 1..6
  std::optional<int> burstKb;              // 2..384
  bool qualityCheck = false;
  bool yes = false;  // answers the quality check's C2 question
  bool driveCheck = false;
  std::optional<std::string> saveLog;  // the drive check's log
  bool rippingFeatures = false;
  bool overread = false;  // the ripping check reads outside the disc

  // Files.
  std::optional<std::string> loadDat;
  std::optional<std::string> saveDat;
  std::optional<std::string> saveReport;
  std::optional<std::string> saveStatus;
  std::optional<std::string> json;
  std::optional<std::string> graphSvg;  // the speed graph of the run or the loaded file
  std::optional<std::string> saveHtml;  // the report page of the run or the loaded file

  // The results library.
  std::optional<std::string> library;  // another file than the per-user one
  bool noLibrary = false;              // record nothing
  std::optional<int> libraryWaitMs;    // how long a locked library is waited for
  bool history = false;
  std::optional<int64_t> showRun;
  std::optional<std::string> exportRuns;
  std::optional<std::vector<int64_t>> runIds;  // --runs: which runs the exports take
  std::optional<std::vector<int64_t>> compareRuns;  // 2 to 8 runs side by side
  std::vector<std::string> importRuns;
  std::optional<std::string> exportCsv;
  bool rippingHistory = false;         // the ripping-features checks kept
  std::optional<int64_t> showRipping;  // one of them

  // A command on the library alone: no drive is opened.
  bool libraryCommand() const {
    return history || showRun || compareRuns || exportRuns || !importRuns.empty() || exportCsv || rippingHistory ||
           showRipping;
  }
};

// TestId of a test's name on the command line (transfer, dae, seek, cpu,
// burst, spin); -1 for an unknown name.
int testIdByName(const std::string& name);

struct ParsedOptions {
  CliOptions options;
  std::string error;  // non-empty: a usage error, exit 2
};

ParsedOptions parseCliOptions(const std::vector<std::string>& args);

std::string usageText();

// A drive given as "N" or "H:T".
struct DriveSelector {
  bool byAddress = false;
  int index = 0;
  int hostAdapter = 0;
  int target = 0;
};
std::optional<DriveSelector> parseDriveSelector(const std::string& text);

}  // namespace tmx::cli
