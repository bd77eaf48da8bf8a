#include "engine/measurement_table.h"
#include "engine/transfer_rate.h"
#include "results/result_texts.h"

namespace tmx {

bool TransferRateHandler::prepare() {
  TestResults& record = run_.results().record;
  const int32_t length = run_.probe().storedLength();
  record.lastZone = lastZoneFor(length);
  record.discLength = length;
  run_.host().drawEndMarker(record.lastZone * kSectorsPerZone);
  run_.state().currentLba = 0;
  phase_.zone = -1;
  phase_.zoneReads = 360.0 / run_.settings().testLength;
  phase_.zoneRateScale = 600.0 / run_.settings().testLength;
  clearSpeedSamples(record);
  run_.results().texts.speedLabelText = "Current";
  run_.host().pushResultTexts();
  run_.host().redrawGraph();
  return true;
}

bool TransferRateHandler::handle(int event, long) {
  if (event != EventTransferZone) return false;
  zoneDone();
  return true;
}

// The preparation's start event comes before the first zone, each worker's
// after its zone.
void TransferRateHandler::zoneDone() {
  const MeasurementInfo& info = *measurementOf(TestTransferRate);
  TestResults& record = run_.results().record;
  ResultTexts& texts = run_.results().texts;
  EngineHost& host = run_.host();
  if (phase_.zone < 0) {
    host.addStatusLine(info.startedText);
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
  texts.speedLabelText = "Average";
  const auto average = averageSpeed(record);
  texts.averageText = average ? speedText(*average) : std::string();
  host.addStatusLine(info.completedText);
  run_.testCompleted(TestTransferRate);
}

}  // namespace tmx
