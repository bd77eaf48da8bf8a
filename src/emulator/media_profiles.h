// MMC profiles of the emulated media and drives: the profile a disc presents,
// and the profiles each class of drive lists in GET CONFIGURATION (highest
// first, as drives list them).
//
//   discProfile(dvdPlusRDl);                       // 002Bh
//   classProfiles(DriveClass::DvdRom);            // {0010h, 0008h}
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "emulator/disc.h"
#include "emulator/drive_profile.h"

namespace tmx::emu {

enum class DriveClass {
  None,       // refuses GET CONFIGURATION: a CD drive before MMC-3
  CdRom,
  CdWriter,
  DvdRom,     // CD-ROM and DVD-ROM
  DvdWriter,  // the CD and DVD±R/RW profiles
  Bd,         // BD-ROM, BD-R and BD-RE besides the DVD writer's
};

std::vector<uint16_t> classProfiles(DriveClass driveClass);

uint16_t discProfile(const DiscSpec& disc);

// The current profile of the disc in the drive: the disc's own when the drive
// lists it, else its family's read-only one (a DVD-ROM drive reads a DVD-R
// as a DVD-ROM); empty when the drive lists neither.
std::optional<uint16_t> currentProfileFor(const DriveProfile& drive, const DiscSpec& disc);
// Whether the drive reads the disc: a drive without profiles reads CDs only.
bool readsDisc(const DriveProfile& drive, const DiscSpec& disc);
bool listsDvd(const DriveProfile& drive);
bool listsBd(const DriveProfile& drive);

}  // namespace tmx::emu
