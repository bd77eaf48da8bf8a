#include "engine/dae_quality.h"
#include "engine/measurement_table.h"
#include "results/format_string.h"
#include "results/result_texts.h"

namespace tmx {

bool DaeQualityHandler::handle(int event, long value) {
  if (event == EventDaeStart) {
    run_.host().addStatusLine(measurementOf(TestDaeQuality)->startedText);
    run_.startWorker(runDaeTest);
  } else if (event == EventDaeProgress) {
    positionDone(value);
  } else if (event == EventDaeNotPossible) {
    run_.abortRun("Unable to run advanced DAE test, please use another disc");
  } else {
    return false;
  }
  return true;
}

void DaeQualityHandler::positionDone(long position) {
  EngineHost& host = run_.host();
  const TestResults& record = run_.results().record;
  host.addStatusLine(formatString("Errors: %ld", static_cast<long>(record.daeErrors)));
  if (position == 0) {
    host.addStatusLine("Starting DAE quality test - center");
  } else if (position == 1) {
    host.addStatusLine("Starting DAE quality test - end");
  } else if (position == 2) {
    host.addStatusLine("Starting advanced DAE quality test");
  } else if (position == 9) {
    host.addStatusLine(measurementOf(TestDaeQuality)->completedText);
    ResultTexts& texts = run_.results().texts;
    texts.daeScoreText = daeScoreText(record.daeScore);
    texts.accurateStreamBox = record.accurateStream == 1;
    run_.testCompleted(TestDaeQuality);
  }
}

}  // namespace tmx
