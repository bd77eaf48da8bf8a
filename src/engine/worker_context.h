// Everything a measuring worker uses: the drive, the clock, the shared state,
// the results record, the options, and the notification to the main thread.
#pragma once

#include <functional>

#include "drive/drive_commands.h"
#include "engine/sequencer_state.h"
#include "engine/engine_ids.h"
#include "platform/clock.h"
#include "results/app_settings.h"
#include "results/test_results.h"

namespace tmx {

struct WorkerContext {
  DriveCommands& commands;
  Clock& clock;
  SequencerState& state;
  TestResults& results;
  const AppSettings& settings;
  std::function<void(int event, long value)> notify;

  // The worker's progress bar value, posted only when the whole percent has
  // changed: every post wakes the main thread, and most fall inside timed
  // intervals. The sequencer sets lastProgress to -1 before each worker.
  void progress(long percent) {
    if (percent == lastProgress) return;
    lastProgress = percent;
    notify(EventProgress, percent);
  }
  long lastProgress = -1;

  // Seconds between two counter readings.
  double seconds(int64_t start, int64_t end) const {
    return static_cast<double>(end - start) / static_cast<double>(clock.counterFrequency());
  }
};

// The worker convention after every drive command: a failure is reported with
// the sense code, then a stop request with the cancel event. Returns true when
// the worker must end. The failing command's LBA is published first.
bool commandEndsWorker(WorkerContext& ctx, AspiStatus status, int32_t lba);

// The read command of a read method for (lba, count); its transfer length is
// count blocks of the method's size. `wide`: a DVD's or BD's READ(10) or
// READ(12) with all 32 bits of LBA, up to kMaxBlocksPerWideRead blocks.
CdbRequest readRequest(int readMethod, uint32_t lba, uint32_t count, bool wide = false);

// Sends the read of the method in force for (lba, count) to the drive under
// test. The buffer must hold count blocks of the method's size.
AspiStatus readSectors(WorkerContext& ctx, uint32_t lba, uint32_t count, uint8_t* buffer);

// Where a run of reads that must stay inside the disc reads next: `lba`, or
// the start of the disc when `count` sectors from `lba` would pass its end
// (an unknown length, 0, never wraps).
int32_t wrapToDisc(int32_t discSectors, int32_t lba, int32_t count);

// Reads 25 sectors at a time from `lba` for five seconds of the tick count,
// a disc too short for that read again from its start: the warm-up that
// brings a drive up to speed. False when a read failed or a stop came (the
// worker's end event is sent); `lba` ends after the last read.
bool readForFiveSeconds(WorkerContext& ctx, int32_t& lba);

// Bytes per block of a read method.
uint32_t blockSizeOf(int readMethod);

}  // namespace tmx
