// The drive check's lines of what GET CONFIGURATION tells and of DVD and BD
// discs: the profiles and read features of the drive, its read performance,
// a DVD's or BD's kind, length and layers, and who made a recordable one. A
// drive that refuses GET CONFIGURATION gets none of them.
#pragma once

#include <optional>

#include "drive/disc_structure_replies.h"
#include "drive/drive_address.h"

namespace tmx {

class DriveCommands;
class DriveCheckReport;
struct DriveConfiguration;
struct Medium;

// "Current profile", the profiles by medium, "Read CD", "Read DVD", "Read BD",
// "Real-time streaming", "Serial number"; a line when the reply stopped short.
void addConfigurationLines(const DriveConfiguration& config, DriveCheckReport& report);

// "Read performance : 6.62-16.00 X DVD (9169-22160 KB/sec)" from GET
// PERFORMANCE, or why it is not known.
void addPerformanceLine(DriveCommands& commands, DriveAddress drive, const Medium& medium, DriveCheckReport& report);

// The disc lines of a DVD or BD: type, tracks, capacity in GB, layers, book
// type or disc type; then who made a recordable one (pre-pit data, ADIP or
// disc information), saying so when the reply is short or not the structure.
void addDvdBdDiscLines(DriveCommands& commands, DriveAddress drive, const Medium& medium, DriveCheckReport& report);

// Who made a recordable DVD or BD, as the drive reports it (pre-pit data,
// ADIP or disc information); nullopt for another medium or a failed read.
std::optional<MediaIdReply> readRecordableMediaId(DriveCommands& commands, DriveAddress drive, const Medium& medium);

}  // namespace tmx
