#include <array>
#include <bit>
#include <vector>

#include "engine/engine_ids.h"
#include "engine/quality_check.h"
#include "results/format_string.h"

namespace tmx {
namespace {

constexpr int kSectorsPerRead = 15;
constexpr size_t kC2Bytes = 294;

std::array<uint8_t, 256> bitCountTable() {
  std::array<uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[static_cast<size_t>(v)] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(v)));
  return table;
}

}  // namespace

int qualityClass(int32_t blockErrors) { return blockErrors == 0 ? 0 : blockErrors / 8467 + 1; }

void runQualityCheck(WorkerContext& ctx, QualityPhase& phase) {
  SequencerState& s = ctx.state;
  const DriveAddress drive = s.testDrive;
  const int method = s.readMethod;
  const bool readCd = method == ReadMethodCdAudio || method == ReadMethodCdData;
  // Every way out gives the drive its 2048-byte blocks back.
  auto restoreBlocks = [&] {
    if (!readCd) ctx.commands.ModeSelectBlockLength(drive, 0x00, kBlockData);
  };
  // Without the switch the drive would send user data where the C2 bytes
  // belong, and a clean disc would count millions of errors.
  if (!readCd && ctx.commands.ModeSelectBlockLength(drive, method == ReadMethodCdda ? 0x82 : 0x00, kBlockAudioC2) !=
                     kAspiSuccess) {
    s.failureText = formatString("Cannot switch the drive to blocks with error information (code %06X)",
                                 static_cast<unsigned>(ctx.commands.LastSenseCode() & 0xFFFFFFu));
    ctx.notify(EventWorkerFailed, 0);
    return;
  }

  const auto bits = bitCountTable();
  std::vector<uint8_t> buffer(kSectorsPerRead * kBlockAudioC2);
  const int32_t length = s.discSectors;
  phase.blockErrors = 0;
  s.currentLba = 0;
  const uint32_t start = ctx.clock.tickMs();
  const int32_t reads = length > 0 ? length / kSectorsPerRead : 0;
  for (int32_t k = 0; k < reads; ++k) {
    std::fill(buffer.begin(), buffer.end(), 0);
    const int32_t lba = s.currentLba;
    const AspiStatus status =
        readCd ? ctx.commands.ReadCd(drive, 0xFA, static_cast<uint32_t>(lba), kSectorsPerRead, kBlockAudioC2, buffer.data())
               : ctx.commands.Read10Sized(drive, static_cast<uint32_t>(lba), kSectorsPerRead, kBlockAudioC2,
                                          buffer.data());
    if (status != kAspiSuccess) {
      const uint32_t sense = ctx.commands.LastSenseCode();
      restoreBlocks();
      ctx.notify(EventQualityReadError, static_cast<long>(sense));
      return;
    }
    if (s.stopRequested) {
      restoreBlocks();
      ctx.notify(EventCancelled, 0);
      return;
    }
    int32_t flagged = 0;
    for (int slot = 0; slot < kSectorsPerRead; ++slot) {
      const size_t c2 = static_cast<size_t>(slot) * kBlockAudioC2 + kBlockAudio;
      for (size_t b = 0; b < kC2Bytes; ++b) flagged += bits[buffer[c2 + b]];
    }
    ctx.results.qualityErrors += flagged;
    phase.blockErrors += flagged;
    ctx.progress(static_cast<long>((int64_t{lba} + 1) * 100 / length));
    if (lba % 900 == 0) ctx.notify(EventQualityBlock, 0);
    s.currentLba = lba + kSectorsPerRead;
  }
  phase.elapsedMs = static_cast<int32_t>(ctx.clock.tickMs() - start);
  restoreBlocks();
  ctx.notify(EventQualityDone, 0);
}

}  // namespace tmx
