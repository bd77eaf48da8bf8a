#include "engine/measurement_table.h"
#include "engine/transfer_rate.h"
#include "results/format_string.h"
#include "results/medium_curve.h"
#include "results/result_texts.h"

namespace tmx {

bool TransferRateHandler::cd() const { return run_.results().record.media.medium.kind == MediumKind::CD; }

bool TransferRateHandler::prepare() {
  TestResults& record = run_.results().record;
  run_.state().currentLba = 0;
  if (cd()) {
    const int32_t length = run_.probe().storedLength();
    record.lastZone = lastZoneFor(length);
    record.discLength = length;
    run_.host().drawEndMarker(record.lastZone * kSectorsPerZone);
    phase_.zone = -1;
    phase_.zoneReads = 360.0 / run_.settings().testLength;
    phase_.zoneRateScale = 600.0 / run_.settings().testLength;
    clearSpeedSamples(record);
  } else {
    const Medium& medium = record.media.medium;
    mediumPhase_.plan = mediumPlanFor(medium);
    mediumPhase_.zone = -1;
    mediumPhase_.timedSectors = timedSectorsPerZone(mediumPhase_.plan, run_.settings().testLength);
    record.media.zones.clear();
    record.media.plannedZones = mediumPhase_.plan.zones;
    run_.host().drawEndMarker(static_cast<int>(medium.capacitySectors));
  }
  run_.results().texts.speedLabelText = "Current";
  run_.host().pushResultTexts();
  run_.host().redrawGraph();
  return true;
}

bool TransferRateHandler::handle(int event, long) {
  if (event != EventTransferZone) return false;
  if (cd()) {
    zoneDone();
  } else {
    mediumZoneDone();
  }
  return true;
}

// The preparation's start event comes before the first zone, each worker's
// after its zone.
void TransferRateHandler::zoneDone() {
  TestResults& record = run_.results().record;
  ResultTexts& texts = run_.results().texts;
  EngineHost& host = run_.host();
  if (phase_.zone < 0) {
    host.addStatusLine(measurementOf(TestTransferRate)->startedText);
  } else {
    const double sample = record.speedSamples[static_cast<size_t>(phase_.zone)];
    host.plotZoneSample(phase_.zone, sample);
    const std::string t = sampleText(sample);
    texts.averageText = t;
    if (phase_.zone == 0) texts.startText = t;
    if (phase_.zone == record.lastZone) {
      texts.endText = t;
      texts.readingTypeText = readingTypeOf(record).value_or("");
    }
  }
  if (phase_.zone < record.lastZone) {
    ++phase_.zone;
    run_.startWorker([this](WorkerContext& ctx) { runTransferZone(ctx, phase_); });
    return;
  }
  // A disc shorter than one zone measured nothing: the average stays empty.
  finish(averageSpeed(record));
}

void TransferRateHandler::mediumZoneDone() {
  MediumResults& media = run_.results().record.media;
  ResultTexts& texts = run_.results().texts;
  const int last = mediumPhase_.plan.zones - 1;
  if (mediumPhase_.zone < 0) {
    run_.host().addStatusLine(measurementOf(TestTransferRate)->startedText);
  } else if (!media.zones.empty()) {
    const ZoneSpeed& zone = media.zones.back();
    run_.host().plotMediumZone(zone);
    const std::string t = speedText(zone.speedX);
    texts.averageText = t;
    if (mediumPhase_.zone == 0) texts.startText = t;
    if (mediumPhase_.zone == last) {
      texts.endText = t;
      texts.readingTypeText = mediumReadingType(media.zones, media.medium).value_or("");
      if (const auto fall = unclassifiedFall(media.zones, media.medium)) {
        run_.host().addStatusLine(formatString("No reading type: the speed falls by %.0f%% from one zone to the next",
                                               *fall * 100.0));
      }
    }
  }
  if (mediumPhase_.zone < last) {
    ++mediumPhase_.zone;
    run_.startWorker([this](WorkerContext& ctx) { runMediumZone(ctx, mediumPhase_); });
    return;
  }
  std::optional<double> average;
  if (!media.zones.empty()) {
    double sum = 0;
    for (const ZoneSpeed& z : media.zones) sum += z.speedX;
    average = sum / static_cast<double>(media.zones.size());
  }
  finish(average);
}

void TransferRateHandler::finish(std::optional<double> average) {
  ResultTexts& texts = run_.results().texts;
  texts.speedLabelText = "Average";
  texts.averageText = average ? speedText(*average) : std::string();
  run_.host().addStatusLine(measurementOf(TestTransferRate)->completedText);
  run_.testCompleted(TestTransferRate);
}

}  // namespace tmx
