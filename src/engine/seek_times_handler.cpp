#include "engine/measurement_table.h"
#include "engine/seek_times.h"
#include "results/result_texts.h"

namespace tmx {

bool SeekTimesHandler::discLongEnough() {
  if (run_.probe().readDiscLength(run_.state().testDrive) >= kSeekMinimumSectors) return true;
  run_.abortRun("Disc capacity must be at least 70 min for the seek test");
  return false;
}

bool SeekTimesHandler::prepare() {
  phase_.phase = 0;
  return discLongEnough();
}

bool SeekTimesHandler::handle(int event, long value) {
  if (event == EventSeekStart) {
    start();
  } else if (event == EventSeekPhaseDone) {
    phaseDone(value);
  } else {
    return false;
  }
  return true;
}

void SeekTimesHandler::start() {
  EngineHost& host = run_.host();
  host.addStatusLine(measurementOf(TestSeekTimes)->startedText);
  host.addStatusLine("Starting random seek test");
  phase_ = SeekPhase{};
  if (discLongEnough()) startPhase();
}

void SeekTimesHandler::startPhase() {
  run_.startWorker([this](WorkerContext& ctx) { runSeekPhase(ctx, phase_); });
}

void SeekTimesHandler::phaseDone(long value) {
  EngineHost& host = run_.host();
  TestResults& record = run_.results().record;
  ResultTexts& texts = run_.results().texts;
  const int32_t ms = static_cast<int32_t>(value / 100);
  const std::string t = seekText(ms);
  if (phase_.phase == 0) {
    texts.randomSeekText = t;
    record.randomSeekMs = ms;
    phase_.phase = 1;
    host.addStatusLine("Starting 1/3 seek test");
    startPhase();
  } else if (phase_.phase == 1) {
    texts.oneThirdSeekText = t;
    record.oneThirdSeekMs = ms;
    phase_.phase = 2;
    host.addStatusLine("Starting full seek test");
    startPhase();
  } else {
    texts.fullSeekText = t;
    record.fullSeekMs = ms;
    host.addStatusLine(measurementOf(TestSeekTimes)->completedText);
    run_.testCompleted(TestSeekTimes);
  }
}

}  // namespace tmx
