// The measuring workers. Each runs on its own thread, talks to the drive under
// test, and reports only through ctx.notify; it ends right after its last
// notification. The drive preparation is here; each test's own workers are
// declared with its handler.
#pragma once

#include "engine/burst_rate.h"
#include "engine/cpu_utilization.h"
#include "engine/dae_quality.h"
#include "engine/quality_check.h"
#include "engine/seek_times.h"
#include "engine/spin_up_down.h"
#include "engine/transfer_rate.h"
#include "engine/worker_context.h"

namespace tmx {

// Five seconds of reading to bring the drive up to speed, a seek to LBA 0,
// then the start event of the prepared test.
void runPreparation(WorkerContext& ctx);

// The start event that follows the preparation of `preparedTest`; -1 when none
// is due (the DAE test without an audio read method).
int startEventFor(int preparedTest, int readMethod);

// Warm-up starting LBA from the last transfer test's lastZone.
int32_t warmUpLba(int32_t lastZone);

}  // namespace tmx
