// The DAE quality test: extraction at the start, center and end of an audio
// disc, compared with a re-reading, then the single-sector stability stages
// that tell whether the drive has accurate stream.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

// The whole test on one worker: EventDaeProgress 0, 1, 2 after each position
// (the errors in results.daeErrors), 9 at the end; EventDaeNotPossible when
// the disc has no sector to judge accurate stream by.
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

class DaeQualityHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool handle(int event, long value) override;

 private:
  void positionDone(long position);
};

}  // namespace tmx
