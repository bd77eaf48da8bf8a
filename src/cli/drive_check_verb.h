// tachometrix-cli --drive-check: prints the drive check report of the
// selected drive, or of every drive when none was chosen, and writes the log
// (--save-log) and the lines as JSON (--json) when asked.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/interrupt_poll.h"
#include "drive/drive_commands.h"
#include "drive/drive_table.h"

namespace tmx::cli {

// `driveLines` are the scan's list lines, one per table entry. An interrupt
// (or a closed stdout) stops the check after the drive's current command;
// what was gathered is still written. Returns the exit status: 0, or 1 when
// interrupted or a file could not be written.
int runDriveCheck(const CliOptions& options, DriveCommands& commands, const DriveTable& table,
                  const std::vector<std::string>& driveLines, InterruptPoll& interrupt);

// The JSON document of --json: one object per drive with its list line,
// address and report lines.
struct DriveCheckRun {
  std::string driveLine;
  DriveAddress drive;
  std::vector<std::string> lines;
};
std::string driveCheckJson(const std::vector<DriveCheckRun>& runs);

}  // namespace tmx::cli
