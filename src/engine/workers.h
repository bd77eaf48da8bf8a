// The measuring workers. Each runs on its own thread, talks to the drive under
// test, and reports only through ctx.notify; it ends right after its last
// notification.
#pragma once

#include <optional>

#include "engine/worker_context.h"

namespace tmx {

// Five seconds of reading to bring the drive up to speed, a seek to LBA 0,
// then the start event of the prepared test.
void runPreparation(WorkerContext& ctx);
// One transfer-rate zone: currentZone's sample, then EventTransferZone.
void runTransferZone(WorkerContext& ctx);
// 100 seeks of seekPhase, timed together: EventSeekPhaseDone in ms.
void runSeekPhase(WorkerContext& ctx);
// Paced reads at cpuTestSpeed X for a nominal 15 s: EventCpuPhaseDone in %.
void runCpuPhase(WorkerContext& ctx);
// 301 reads of the same sectors at LBA 100, the last 300 timed: EventBurstDone in KB/s.
void runBurst(WorkerContext& ctx);
// Spin-up time after a stop, five busy seconds, spin-down time. A time whose
// stop command failed or timed out is sent as kSpinNotMeasured, its reason in
// failureText.
void runSpin(WorkerContext& ctx);
inline constexpr long kSpinNotMeasured = -1;

// DAE quality: extraction at start, center and end, kept in memory and
// compared with a re-reading, then the single-sector stability stages.
void runDaeTest(WorkerContext& ctx);

// The DAE test's start, center and end on a disc of `discLength` sectors;
// nullopt when the disc is too short for three 800-sector stretches in that
// order (below kDaeMinimumSectors).
struct DaePositions {
  int32_t start = 0;
  int32_t center = 0;
  int32_t end = 0;
};
inline constexpr int32_t kDaeMinimumSectors = 2400;  // 32 s
std::optional<DaePositions> daePositions(int32_t discLength);

// The DAE score 0..10 from the total count of differing bytes.
int daeScoreFor(uint32_t totalErrors);

// CD quality check: every sector with its C2 error pointers, 15 per read;
// EventQualityBlock after each read at a multiple of 900 sectors.
void runQualityCheck(WorkerContext& ctx);

// Map class of a block's flagged bytes: 0 for none, else 1 per 8467 bytes
// (1/250 of 900 sectors' 2,116,800 bytes) plus one.
int qualityClass(int32_t blockErrors);

// The start event that follows the preparation of `preparedTest`; -1 when none
// is due (the DAE test without an audio read method).
int startEventFor(int preparedTest, int readMethod);

// Warm-up starting LBA from the last transfer test's lastZone.
int32_t warmUpLba(int32_t lastZone);

// Reads per transfer zone for a zone-read share (360 / testLength): truncated,
// plus one untimed read unless it is exactly 360.
int readsPerZone(double zoneReads);

// Target of seek i (0..99) in a seek phase: the fixed random table, or
// alternating between the far position and 0.
int32_t seekTarget(int phase, int i);

// Sectors per burst read from the option in KB: half of it, 1..192.
int burstSectors(int burstLengthKB);

inline constexpr int32_t kBurstLba = 100;
inline constexpr int32_t kSpinLba = 100;

}  // namespace tmx
