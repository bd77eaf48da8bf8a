// Which medium the drive holds, and its speeds in that medium's X.
//
//   const Medium m = probeMedium(commands, drive);
//   maximumReadSpeedX(commands, drive, m);        // 16.0 for a 16X DVD-ROM drive
//   setReadSpeedX(commands, drive, m, 8);         // SET STREAMING, else SET CD SPEED
//
// A drive that refuses GET CONFIGURATION, times out on it (cut off by the
// command timeout and not asked again), or names a profile that is no DVD or
// BD holds a CD: kind CD, with the profile and its name when the drive named
// one. For a DVD, READ DISC STRUCTURE 00h gives the layers, the track path and
// the layer break; for a BD, the disc information; READ CAPACITY the length.
// A disc whose structure cannot be read is taken from its profile alone, one
// layer.
#pragma once

#include <optional>
#include <vector>

#include "drive/configuration_replies.h"
#include "drive/drive_commands.h"
#include "drive/medium.h"

namespace tmx {

Medium probeMedium(DriveCommands& commands, DriveAddress drive);

// The current profile from GET CONFIGURATION's header (asked once more after
// a unit attention); empty when the drive refuses the command, times out on
// it or sends no header.
std::optional<uint16_t> readCurrentProfile(DriveCommands& commands, DriveAddress drive);
// The medium of that profile as probeMedium finds it, without asking again.
Medium probeMediumOfProfile(DriveCommands& commands, DriveAddress drive, std::optional<uint16_t> profile);

// READ DISC STRUCTURE of layer 0 into a reply of `length` bytes; empty when
// the command fails (the transport's last failure says why).
std::vector<uint8_t> readDiscStructure(DriveCommands& commands, DriveAddress drive, uint8_t mediaType, uint8_t format,
                                       uint16_t length);

// Every feature the drive reports (RT 00b), in a reply of up to 2048 bytes;
// empty when the command fails or the reply holds no header.
std::optional<DriveConfiguration> readConfiguration(DriveCommands& commands, DriveAddress drive);

// The drive's fastest read of the medium: GET PERFORMANCE for DVD and BD (the
// performance in effect, so after a lower speed was set, that one), mode page
// 2Ah for CD. Empty when the drive does not say.
std::optional<double> maximumReadSpeedX(DriveCommands& commands, DriveAddress drive, const Medium& medium);

// Sets the read speed in the medium's X; 0 or less asks for the maximum. A CD
// gets SET CD SPEED, as always; a DVD or BD SET STREAMING over the whole
// disc, and SET CD SPEED with the medium's KB/s when the drive refuses that.
AspiStatus setReadSpeedX(DriveCommands& commands, DriveAddress drive, const Medium& medium, double speedX);

}  // namespace tmx
