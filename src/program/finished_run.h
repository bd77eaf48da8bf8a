// What the application knows of the run that just ended, for the results
// library: the record, the drive (INQUIRY texts from `facts`, the serial
// number from GET CONFIGURATION where the drive answers it, its adapter and
// driver, emulated or not), the disc's TOC, the options, the version, the
// time and the status list.
#pragma once

#include "library/stored_run_builder.h"
#include "program/application.h"

namespace tmx {

// The drive as its INQUIRY texts in `facts` and its adapter describe it:
// controller, driver, emulated or not. Sends no command; the serial number
// is left empty.
StoredDrive storedDriveOf(Application& app, DriveAddress drive, const DriveFacts& facts);

// Sends no command: the serial number is left for driveSerialNumber.
FinishedRun finishedRunOf(Application& app, RunOutcome outcome, bool qualityCheck, const DriveFacts& facts);

// The serial number of GET CONFIGURATION's feature 0108h, asked only of a
// drive that reported a profile and never let the command time out; empty
// where the drive reports none.
std::string driveSerialNumber(Application& app, DriveAddress drive);

// The maker of a CD-R or CD-RW (of the drive's current profile) from its
// ATIP, as the drive check finds it; empty for other media or an unknown maker.
std::string recordableManufacturer(Application& app, DriveAddress drive);

}  // namespace tmx
