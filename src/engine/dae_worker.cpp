#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/engine_ids.h"
#include "engine/dae_quality.h"
#include "results/crc_checksum.h"

namespace tmx {
namespace {

constexpr int kBlockSectors = 16;
constexpr size_t kBlockBytes = kBlockSectors * kBlockAudio;  // 37632
constexpr int kBlocksPerPass = 50;

// The DAE test runs only with an audio read method: every read is one.
AspiStatus readAudio(WorkerContext& ctx, int32_t lba, uint32_t count, uint8_t* buffer) {
  return readSectors(ctx, static_cast<uint32_t>(lba), count, buffer);
}

enum class Outcome { Done, Ended };

// One position: two passes of extraction, the second compared byte for byte
// with a third reading. The extracted audio is kept in memory, where only
// this run can reach it: a file would be shared with every other run and
// could be a link to a file of the user's.
Outcome extractPosition(WorkerContext& ctx, int32_t position, uint32_t& total) {
  std::vector<uint8_t> extracted(kBlockBytes * kBlocksPerPass);
  std::vector<uint8_t> readBuffer(kBlockBytes);
  ctx.results.daeErrors = 0;
  for (int pass = 0; pass < 2; ++pass) {
    int32_t lba = position;
    for (int i = 0; i < kBlocksPerPass; ++i) {
      ctx.progress(i / 2 + 50 * pass);
      uint8_t* block = extracted.data() + static_cast<size_t>(i) * kBlockBytes;
      const AspiStatus status = readAudio(ctx, lba, kBlockSectors, block);
      if (commandEndsWorker(ctx, status, lba)) return Outcome::Ended;
      lba += kBlockSectors;
    }

    lba = position;
    for (int i = 0; i < kBlocksPerPass; ++i) {
      ctx.progress((i + 50) / 2 + 50 * pass);
      std::memset(readBuffer.data(), 0x6F, kBlockBytes);
      const AspiStatus status = readAudio(ctx, lba, kBlockSectors, readBuffer.data());
      if (commandEndsWorker(ctx, status, lba)) return Outcome::Ended;
      if (pass == 1) {
        const uint8_t* block = extracted.data() + static_cast<size_t>(i) * kBlockBytes;
        for (size_t b = 0; b < kBlockBytes; ++b) {
          if (readBuffer[b] != block[b]) {
            ++ctx.results.daeErrors;
            ++total;
          }
        }
      }
      lba += kBlockSectors;
    }
  }
  return Outcome::Done;
}

enum class Search { Found, NotFound, Ended };

// A sector with more than 10 distinct byte values, among S, S+50, ..., S+4500
// that lie on the disc (a start before LBA 0 begins at 0).
Search findUsableSector(WorkerContext& ctx, int32_t start, int32_t discLength, int32_t& found) {
  std::vector<uint8_t> sector(kBlockAudio);
  start = std::max(start, 0);
  const int32_t last = std::min(start + 4500, discLength - 1);
  for (int32_t c = start; c <= last; c += 50) {
    std::fill(sector.begin(), sector.end(), 0);
    const AspiStatus status = readAudio(ctx, c, 1, sector.data());
    if (commandEndsWorker(ctx, status, c)) return Search::Ended;
    std::array<bool, 256> seen{};
    int distinct = 0;
    for (uint8_t byte : sector) {
      if (!seen[byte]) {
        seen[byte] = true;
        ++distinct;
      }
    }
    if (distinct > 10) {
      found = c;
      return Search::Found;
    }
  }
  return Search::NotFound;
}

// Reads each LBA of `lbas` 30 times; true when every repetition matched the first.
Outcome repeatReads(WorkerContext& ctx, const std::vector<int32_t>& lbas, int progressBase, bool& stable) {
  std::vector<uint8_t> sector(kBlockAudio);
  std::vector<std::array<uint32_t, 30>> sums(30);
  for (int r = 0; r < 30; ++r) {
    ctx.progress((r + 1) * 50 / 30 + progressBase);
    for (size_t q = 0; q < lbas.size(); ++q) {
      std::fill(sector.begin(), sector.end(), 0);
      const AspiStatus status = readAudio(ctx, lbas[q], 1, sector.data());
      if (commandEndsWorker(ctx, status, lbas[q])) return Outcome::Ended;
      sums[static_cast<size_t>(r)][q] = crcChecksum(sector);
    }
  }
  stable = true;
  for (int r = 1; r < 30; ++r) {
    for (size_t q = 0; q < lbas.size(); ++q) {
      if (sums[static_cast<size_t>(r)][q] != sums[0][q]) stable = false;
    }
  }
  return Outcome::Done;
}

}  // namespace

std::optional<DaePositions> daePositions(int32_t discLength) {
  if (discLength < kDaeMinimumSectors) return std::nullopt;
  return DaePositions{0, discLength / 2 - 400, discLength - 1000};
}

int daeScoreFor(uint32_t totalErrors) {
  if (totalErrors == 0) return 10;
  int score = 0;
  for (uint32_t threshold : {25600u, 12800u, 6400u, 3200u, 1600u, 800u, 400u, 200u, 100u}) {
    if (totalErrors < threshold) ++score;
  }
  return score;
}

void runDaeTest(WorkerContext& ctx) {
  const int32_t length = ctx.results.discLength;
  const auto at = daePositions(length);
  if (!at) {
    ctx.state.failureText = "Disc capacity must be at least 32 s for the DAE quality test";
    ctx.notify(EventWorkerFailed, 0);
    return;
  }
  const int32_t center = at->center;
  const int32_t end = at->end;
  const std::array<int32_t, 3> positions{at->start, center, end};
  uint32_t total = 0;
  for (int p = 0; p < 3; ++p) {
    if (extractPosition(ctx, positions[static_cast<size_t>(p)], total) == Outcome::Ended) return;
    if (p == 2) ctx.results.daeScore = daeScoreFor(total);
    ctx.notify(EventDaeProgress, p);
  }

  std::array<int32_t, 3> usable{};
  const std::array<int32_t, 3> searchFrom{0, center, end - 5000};
  for (size_t q = 0; q < 3; ++q) {
    const Search search = findUsableSector(ctx, searchFrom[q], length, usable[q]);
    if (search == Search::Ended) return;
    if (search == Search::NotFound) {
      ctx.notify(EventDaeNotPossible, 0);
      return;
    }
  }
  bool stable = false;
  if (repeatReads(ctx, {usable[0], usable[1], usable[2]}, 0, stable) == Outcome::Ended) return;
  ctx.results.accurateStream = stable ? 1 : 0;
  if (stable) {
    std::vector<int32_t> backwards;
    for (int j = 0; j < 30; ++j) backwards.push_back(usable[1] - j);
    if (repeatReads(ctx, backwards, 50, stable) == Outcome::Ended) return;
    ctx.results.accurateStream = stable ? 1 : 0;
  }
  ctx.notify(EventDaeProgress, 9);
}

}  // namespace tmx
