// The transfer rate test: one worker per zone of 9000 sectors, each timing its
// reads and storing the zone's sample; the handler plots each sample and
// starts the next zone, and gives the average and reading type at the end.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/medium_plan.h"
#include "engine/run_steps.h"
#include "engine/worker_context.h"

namespace tmx {

struct TransferPhase {
  int32_t zone = -1;          // the zone being read; -1 before the first
  double zoneReads = 360.0;   // 25-sector reads per zone: 360 / test length
  double zoneRateScale = 600.0;
};

// A DVD's or BD's zones: fixed LBAs, a block untimed at each zone's start,
// then the timed share of the zone.
struct MediumZonePhase {
  MediumPlan plan;
  int zone = -1;
  int64_t timedSectors = 0;
};

// One zone: reads from ctx.state.currentLba, stores the zone's sample and the
// -1.0 after it, then EventTransferZone.
void runTransferZone(WorkerContext& ctx, const TransferPhase& phase);

// One DVD or BD zone: its speed in the medium's X appended to the record's
// media zones, then EventTransferZone.
void runMediumZone(WorkerContext& ctx, const MediumZonePhase& phase);

// Reads per transfer zone for a zone-read share (360 / testLength): truncated,
// plus one untimed read unless it is exactly 360.
int readsPerZone(double zoneReads);

class TransferRateHandler final : public MeasurementHandler {
 public:
  using MeasurementHandler::MeasurementHandler;
  bool prepare() override;
  bool handle(int event, long value) override;

 private:
  bool cd() const;
  void zoneDone();
  void mediumZoneDone();
  void finish(std::optional<double> average);
  TransferPhase phase_;
  MediumZonePhase mediumPhase_;
};

}  // namespace tmx
