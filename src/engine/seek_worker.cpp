#include <array>

#include "engine/engine_ids.h"
#include "engine/medium_plan.h"
#include "engine/seek_times.h"

namespace tmx {
namespace {

// Fixed positions, so every run seeks the same way; all inside a 70-minute disc.
constexpr std::array<int32_t, 100> kRandomSeekTable = {
    183080, 262220, 17720,  49470,  110670, 63130,  41830,  241320, 310980, 233700,
    56830,  55200,  178520, 27370,  216320, 286710, 65830,  301110, 295140, 159730,
    134540, 228700, 165000, 27770,  190020, 273800, 101830, 69650,  202770, 271490,
    54350,  293900, 72730,  308560, 116520, 121490, 305530, 132440, 22720,  239820,
    190870, 191470, 235840, 82390,  67250,  36460,  153490, 180760, 3430,   135370,
    262370, 121620, 170010, 209610, 161420, 44980,  146760, 143720, 266900, 20790,
    145510, 181530, 103070, 83150,  234570, 8560,   227310, 140230, 258690, 145120,
    283070, 50290,  214000, 34390,  163540, 100040, 253350, 45990,  297480, 102560,
    309750, 198320, 17440,  306540, 55740,  148500, 176280, 43500,  187300, 116710,
    83340,  146280, 134660, 196000, 257140, 88320,  179980, 232590, 296520, 282550,
};

constexpr uint8_t kSeek6 = 0x0B;
constexpr uint8_t kSeek10 = 0x2B;

// One seek with the command this drive accepts. Until that is known: SEEK(6),
// and SEEK(10) when the drive refuses the command; the one that works is
// kept, so a refusal (which can take tens of milliseconds behind libata) is
// never timed. Any other failure (a unit attention, a hang) ends the test.
AspiStatus seekOnce(WorkerContext& ctx, SeekPhase& phase, uint32_t lba) {
  const DriveAddress drive = ctx.state.testDrive;
  DriveCommands& c = ctx.commands;
  if (phase.opcode == kSeek10) {
    return ctx.results.media.medium.kind == MediumKind::CD ? c.Seek10(drive, lba) : c.Seek10Wide(drive, lba);
  }
  const AspiStatus status = c.Seek6(drive, lba);
  if (status == kAspiSuccess) {
    phase.opcode = kSeek6;
    return status;
  }
  if (!c.transport().lastFailure().refused) return status;
  const AspiStatus second = c.Seek10(drive, lba);
  if (second == kAspiSuccess) phase.opcode = kSeek10;
  return second;
}

}  // namespace

int32_t seekTarget(int phase, int i) {
  switch (phase) {
    case 0: return kRandomSeekTable[static_cast<size_t>(i)];
    case 1: return i % 2 == 0 ? 105000 : 0;
    default: return i % 2 == 0 ? 314999 : 0;
  }
}

void runSeekPhase(WorkerContext& ctx, SeekPhase& phase) {
  const Medium& medium = ctx.results.media.medium;
  const bool cd = medium.kind == MediumKind::CD;
  // SEEK(6) addresses 21 bits of LBA: too few for a DVD or BD.
  if (!cd) phase.opcode = kSeek10;
  if (phase.opcode == 0) {
    // Find the command before timing; the head stays where it is (LBA 0
    // after the drive preparation).
    if (commandEndsWorker(ctx, seekOnce(ctx, phase, 0), 0)) return;
  }
  const int64_t start = ctx.clock.counter();
  for (int i = 0; i < 100; ++i) {
    const int32_t lba = cd ? seekTarget(phase.phase, i) : static_cast<int32_t>(mediumSeekTarget(medium, phase.phase, i));
    const AspiStatus status = seekOnce(ctx, phase, static_cast<uint32_t>(lba));
    if (commandEndsWorker(ctx, status, lba)) return;
  }
  const int64_t end = ctx.clock.counter();
  ctx.notify(EventSeekPhaseDone, static_cast<long>(ctx.seconds(start, end) * 1000.0));
}

}  // namespace tmx
