#include "drivecheck/line_format.h"

#include "drive/drive_commands.h"
#include "drive/request_failure.h"
#include "drivecheck/report_lines.h"

namespace tmx {

std::string failureLine(DriveCommands& commands, const std::string& text) {
  const std::string cause = lastFailureCause(commands.transport());
  return cause.empty() ? errorLineText(text, commands.LastSenseCode()) : text + ": " + cause;
}

}  // namespace tmx
