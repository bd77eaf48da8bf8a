// Where a run reads a DVD or a BD: transfer zones at fixed LBAs of the medium
// (so two runs of the same medium compare), each read in whole blocks of its
// natural size, and the seek targets of the disc's data area. A CD keeps its
// own plan (zones of 9000 sectors, the fixed seek table).
#pragma once

#include <cstdint>

#include "drive/medium.h"

namespace tmx {

struct MediumPlan {
  int64_t zoneSectors = 0;  // DVD 65536 (128 MiB), BD 327680 (640 MiB)
  int zones = 0;            // whole zones on the disc
  int blockSectors = 0;     // one read: DVD 16 (an ECC block), BD 32 (a cluster)
};

// The plan of a DVD or BD; a full single-layer disc gives at least 32 zones.
MediumPlan mediumPlanFor(const Medium& medium);

// Timed sectors per zone at a test length (1..6): the zone's share as the CD
// test reads it (all at 1, a sixth at 6), in whole blocks, at least one.
int64_t timedSectorsPerZone(const MediumPlan& plan, int testLength);

// Target of seek i (0..99) of a seek phase on a DVD or BD: the CD's random
// table scaled to the data area, or one third and the whole of layer 0's
// stroke from the hub to the rim, each against LBA 0.
int64_t mediumSeekTarget(const Medium& medium, int phase, int i);

}  // namespace tmx
