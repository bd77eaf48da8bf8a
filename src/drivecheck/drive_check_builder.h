// Builds the drive check report of one drive: general information (system,
// SCSI layer, controller, driver), drive identification and capabilities,
// the speeds the drive accepts, the disc, recordable media, and which
// commands the drive executes. Sends every command on the calling thread;
// the speed probe sets the drive's read speed, which stays set afterwards.
//
//   size_t widest = 0;                        // the application's
//   DriveCheckReport report(widest);
//   buildDriveCheckReport(commands, drive, systemInfo, report);
//   saveDriveCheckLog("DriveCheck.txt", report.lines(), widest);
#pragma once

#include <atomic>

#include "drive/drive_address.h"
#include "drivecheck/report_lines.h"

namespace tmx {

class DriveCommands;
class SystemInfo;

// `cancel`, when given and set, ends the build before its next command (a
// window that closes need not wait for every command of the report).
void buildDriveCheckReport(DriveCommands& commands, DriveAddress drive, const SystemInfo& system,
                           DriveCheckReport& report, const std::atomic<bool>* cancel = nullptr);

// The report's sections, for callers that want one alone.
void addGeneralSection(DriveCommands& commands, DriveAddress drive, const SystemInfo& system,
                       DriveCheckReport& report);
void addDriveSection(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report);
void addDiscSection(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report);
void addCommandSection(DriveCommands& commands, DriveAddress drive, DriveCheckReport& report);

}  // namespace tmx
