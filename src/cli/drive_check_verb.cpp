#include "cli/drive_check_verb.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "cli/save_phase.h"
#include "drivecheck/drive_check_builder.h"
#include "platform/atomic_file.h"
#include "platform/system_info.h"

namespace tmx::cli {

std::string driveCheckJson(const std::vector<DriveCheckRun>& runs) {
  nlohmann::ordered_json reports = nlohmann::ordered_json::array();
  for (const DriveCheckRun& run : runs) {
    nlohmann::ordered_json one;
    one["drive"] = run.driveLine;
    one["hostAdapter"] = run.drive.hostAdapter;
    one["target"] = run.drive.target;
    one["lines"] = run.lines;
    reports.push_back(std::move(one));
  }
  nlohmann::ordered_json document;
  document["driveCheck"] = std::move(reports);
  // Drive texts are bytes from the drive: replace what is not UTF-8.
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

int runDriveCheck(const CliOptions& options, DriveCommands& commands, const DriveTable& table,
                  const std::vector<std::string>& driveLines, InterruptPoll& interrupt) {
  const SystemInfo system;
  // The widest line is kept across the reports of one run, as the window does.
  size_t widest = 0;
  std::vector<DriveCheckRun> runs;
  std::vector<std::string> allLines;
  bool outputLost = false;
  const bool one = options.drive.has_value();
  for (int i = one ? table.selected : 0; i < (one ? table.selected + 1 : table.count); ++i) {
    if (interrupt.interrupted()) break;
    const DriveAddress drive = table.entries[static_cast<size_t>(i)];
    if (!one && i > 0) std::printf("\n");
    DriveCheckReport report(widest, [&](const std::string& line) {
      std::printf("%s\n", line.c_str());
      std::fflush(stdout);
      if (!outputLost && std::ferror(stdout)) {
        outputLost = true;
        std::fputs("tachometrix-cli: standard output was closed\n", stderr);
        interrupt.trigger();
      }
    });
    buildDriveCheckReport(commands, drive, system, report, &interrupt.flag());
    runs.push_back({driveLines[static_cast<size_t>(i)], drive, report.lines()});
    allLines.insert(allLines.end(), report.lines().begin(), report.lines().end());
  }

  int exitCode = interrupt.interrupted() ? 1 : 0;
  SavePhase saves(interrupt);
  if (options.saveLog) {
    if (const int error = saveDriveCheckLog(*options.saveLog, allLines, widest, saves.control(*options.saveLog));
        error != 0) {
      printError(logSaveFailureStatus(*options.saveLog, error));
      exitCode = 1;
    }
  }
  if (options.json && !saves.writeText(*options.json, driveCheckJson(runs))) exitCode = 1;
  return exitCode;
}

}  // namespace tmx::cli
