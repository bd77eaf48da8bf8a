// Who made a recordable disc: the ATIP lead-in start time looked up in the
// CD-R and CD-RW maker tables, with dye type, speed class and capacity.
#pragma once

#include <span>
#include <string>

#include "drive/drive_address.h"

namespace tmx {

class DriveCommands;

struct RecordableDisc {
  bool found = false;        // lead-in starts at minute 97
  long mediaCode = 0;        // minutes x 10000 + seconds x 100 + frames
  std::string manufacturer;  // a table's name or "unknown"
  int dyeType = 0;           // frames mod 10
  bool rewritable = false;   // the disc information marks the disc erasable
  int xCompatibility = 0;    // 2 x the low nibble of ATIP byte 16; 0 when absent
  long capacityFrames = 0;   // last possible lead-out start
};

// From the replies: `discInformation` and `atip` hold the bytes that came back,
// empty for a command that failed. Bytes past the ATIP data length are absent.
RecordableDisc identifyFromReplies(std::span<const uint8_t> discInformation, std::span<const uint8_t> atip);

// Sends REQUEST SENSE twice, READ DISC INFORMATION and READ TOC/PMA/ATIP (ATIP).
RecordableDisc identifyRecordableDisc(DriveCommands& commands, DriveAddress drive);

}  // namespace tmx
