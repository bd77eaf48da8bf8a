#include "engine/burst_rate.h"
#include "engine/measurement_table.h"
#include "results/result_texts.h"

namespace tmx {

bool BurstRateHandler::handle(int event, long value) {
  const MeasurementInfo& info = *measurementOf(TestBurstRate);
  if (event == EventBurstStart) {
    run_.host().addStatusLine(info.startedText);
    run_.startWorker(runBurst);
  } else if (event == EventBurstDone) {
    TestResults& record = run_.results().record;
    record.burstRate = static_cast<int32_t>((value + 1023) / 1024);
    run_.results().texts.burstText = burstText(record.burstRate);
    run_.host().addStatusLine(info.completedText);
    run_.testCompleted(TestBurstRate);
  } else {
    return false;
  }
  return true;
}

}  // namespace tmx
