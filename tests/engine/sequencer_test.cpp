// Whole runs on the emulated presets in virtual time: order, status lines,
// aborts and cancels.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/workers.h"
#include "support/engine_rig.h"

namespace tmx {
namespace {

using testing::EngineRig;

// Index of `line` in the status list, or -1.
int indexOf(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
  for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i) {
    if (lines[i] == line) return static_cast<int>(i);
  }
  return -1;
}

void expectInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  int at = 0;
  for (const auto& line : expected) {
    const int found = indexOf(lines, line, at);
    ASSERT_GE(found, 0) << "missing or out of order: " << line;
    at = found + 1;
  }
}

TEST(Sequencer, RunsTheSelectedTestsInOrderWithOnePreparation) {
  EngineRig rig(0);
  rig.onlyTests({TestTransferRate, TestSeekTimes, TestCpuUtilization, TestBurstRate, TestSpinUpDown});
  rig.settings.testLength = 6;
  rig.run();
  const auto& lines = rig.host.lines;
  expectInOrder(lines, {"Initializing", "Starting transfer rate test", "Transfer rate test completed",
                        "Starting seek test", "Starting random seek test", "Starting 1/3 seek test",
                        "Starting full seek test", "Seek test completed", "Starting CPU utilization test",
                        "Starting 1X test", "Starting 2X test", "Starting 4X test", "Starting 8X test",
                        "CPU utilization test completed", "Starting burst rate test", "Burst rate test completed",
                        "Starting spin up time test", "Starting spin down time test",
                        "Spin up/down test completed"});
  EXPECT_EQ(rig.host.count("Initializing"), 1);
  EXPECT_EQ(rig.host.count("Test aborted"), 0);
  EXPECT_EQ(rig.host.caption, "Start");
  EXPECT_TRUE(rig.host.pollRunning);
  EXPECT_EQ(rig.sequencer->state().runMode, RunAllSelected);

  const TestResults& r = rig.results.record;
  EXPECT_EQ(r.lastZone, 36);
  for (int zone = 0; zone <= 36; ++zone) EXPECT_GT(r.speedSamples[static_cast<size_t>(zone)], 0.0) << zone;
  EXPECT_EQ(r.speedSamples[37], -1.0);
  EXPECT_EQ(rig.results.texts.readingTypeText, "CAV");
  EXPECT_EQ(rig.results.texts.speedLabelText, "Average");
  EXPECT_GT(r.randomSeekMs, 0);
  EXPECT_GT(r.fullSeekMs, r.oneThirdSeekMs);
  for (int cpu : r.cpuUsage) {
    EXPECT_GE(cpu, 0);
    EXPECT_LE(cpu, 100);
  }
  EXPECT_GT(r.burstRate, 0);
  EXPECT_GT(r.spinUpTime, 0.0);
  EXPECT_GE(r.spinDownTime, 0.0);
}

TEST(Sequencer, SingleTestCommandRunsOnlyThatTest) {
  EngineRig rig(1);
  rig.onlyTests({TestSeekTimes});
  rig.run(TestBurstRate);
  EXPECT_EQ(rig.host.count("Burst rate test completed"), 1);
  EXPECT_EQ(rig.host.count("Starting seek test"), 0);
  EXPECT_EQ(rig.sequencer->state().runMode, RunAllSelected);
}

TEST(Sequencer, NothingSelectedOrNoAudioForDae) {
  EngineRig rig(1);
  rig.onlyTests({});
  rig.run(TestBurstRate);
  EXPECT_EQ(rig.host.messages, std::vector<std::string>{"No test selected"});
  EXPECT_EQ(rig.host.caption, "Start");
  EXPECT_TRUE(rig.host.lines.empty());

  rig.onlyTests({TestDaeQuality});
  rig.host.messages.clear();
  rig.run();
  EXPECT_EQ(rig.host.messages, std::vector<std::string>{"No audio CD inserted"});
  EXPECT_EQ(rig.host.caption, "Start");

  // DAE and spin on a data disc: the spin test runs alone, no message.
  rig.onlyTests({TestDaeQuality, TestSpinUpDown});
  rig.host.messages.clear();
  rig.run();
  EXPECT_TRUE(rig.host.messages.empty());
  EXPECT_EQ(rig.host.count("Spin up/down test completed"), 1);
  EXPECT_EQ(rig.host.count("Starting DAE quality test - start"), 0);
}

TEST(Sequencer, SeekTestRefusesAShortDisc) {
  EngineRig rig(3);  // a 62-minute CD-R
  rig.onlyTests({TestSeekTimes, TestCpuUtilization});
  rig.run();
  expectInOrder(rig.host.lines, {"Disc capacity must be at least 70 min for the seek test", "Test aborted"});
  EXPECT_EQ(rig.host.count("Starting CPU utilization test"), 0);
  EXPECT_EQ(rig.host.caption, "Start");
}

TEST(Sequencer, ReadErrorAbortsTheRunAndNamesThePlace) {
  EngineRig rig(1);
  rig.onlyTests({TestTransferRate, TestBurstRate});
  rig.drive().faults().add(emu::Fault{emu::Fault::Kind::ReadError, 56706, 56706});
  rig.run();
  // Zone 6 reads from 54000 in 25-sector steps; the read from 56700 fails.
  expectInOrder(rig.host.lines, {"Read error at 12:36.00 (code 031100)", "Test aborted"});
  EXPECT_EQ(rig.host.count("Starting burst rate test"), 0);
  EXPECT_EQ(rig.host.progress, 0);
  const TestResults& r = rig.results.record;
  for (int zone = 0; zone < 6; ++zone) EXPECT_GT(r.speedSamples[static_cast<size_t>(zone)], 0.0);
  EXPECT_EQ(r.speedSamples[6], -1.0) << "measured zones stay, the failed one ends the list";
}

TEST(Sequencer, DriveFailureInEveryTestAbortsIt) {
  // The disc disappears when the test begins (its worker is not running yet).
  const std::vector<std::pair<int, std::string>> tests = {{TestSeekTimes, "Starting random seek test"},
                                                          {TestCpuUtilization, "Starting 1X test"},
                                                          {TestBurstRate, "Starting burst rate test"},
                                                          {TestSpinUpDown, "Starting spin up time test"}};
  for (const auto& [test, phase] : tests) {
    EngineRig rig(1);
    rig.onlyTests({test});
    rig.host.onStatusLine = [&, phase = phase](const std::string& line) {
      if (line == phase) rig.drive().removeDisc();
    };
    rig.run();
    const auto& lines = rig.host.lines;
    const int failed = static_cast<int>(std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
                                          return l.starts_with("Read error at") && l.ends_with("(code 023A00)");
                                        }) - lines.begin());
    ASSERT_LT(failed, static_cast<int>(lines.size())) << phase;
    EXPECT_LT(indexOf(lines, phase), failed) << "the failure falls inside the test";
    EXPECT_EQ(lines[static_cast<size_t>(failed) + 1], "Test aborted");
    EXPECT_EQ(rig.host.caption, "Start");
  }
}

TEST(Sequencer, StopInEveryPhaseCancelsTheRun) {
  const std::vector<std::string> phases = {"Initializing",          "Starting transfer rate test",
                                           "Starting random seek test", "Starting full seek test",
                                           "Starting 2X test",      "Starting burst rate test",
                                           "Starting spin up time test", "Starting spin down time test"};
  for (const auto& phase : phases) {
    EngineRig rig(0);
    rig.onlyTests({TestTransferRate, TestSeekTimes, TestCpuUtilization, TestBurstRate, TestSpinUpDown});
    rig.settings.testLength = 6;
    rig.host.onStatusLine = [&](const std::string& line) {
      if (line == phase) rig.sequencer->startRun();  // the Start button reads "Stop" now
    };
    rig.run();
    expectInOrder(rig.host.lines, {phase, "Test cancelled by user"});
    EXPECT_EQ(rig.host.count("Spin up/down test completed"), 0) << phase;
    EXPECT_EQ(rig.host.caption, "Start");
    rig.host.onStatusLine = nullptr;
    rig.onlyTests({TestBurstRate});
    const int before = rig.host.count("Burst rate test completed");
    rig.run();
    EXPECT_EQ(rig.host.count("Burst rate test completed"), before + 1) << "the next run is not cancelled";
  }
}

TEST(Sequencer, StaleStopDoesNotCancelTheNextRun) {
  EngineRig rig(1);
  rig.onlyTests({TestBurstRate});
  rig.sequencer->requestStop();  // arrives when no worker runs
  rig.run();
  EXPECT_EQ(rig.host.count("Burst rate test completed"), 1);
  EXPECT_EQ(rig.host.count("Test cancelled by user"), 0);
}

// The run as a handler sees it: workers and completions recorded, nothing run.
class FakeRun final : public RunSteps {
 public:
  explicit FakeRun(EngineRig& rig) : rig_(rig) {}
  EngineHost& host() override { return rig_.host; }
  ResultsModel& results() override { return rig_.results; }
  SequencerState& state() override { return state_; }
  DiscProbe& probe() override { return rig_.probe; }
  const AppSettings& settings() const override { return rig_.settings; }
  void startWorker(std::function<void(WorkerContext&)>) override { ++workers; }
  void testCompleted(int testId) override { completed = testId; }
  void abortRun(const std::string& reason) override { rig_.host.addStatusLine(reason); }
  void finishRun() override {}

  int workers = 0;
  int completed = -1;

 private:
  EngineRig& rig_;
  SequencerState state_;
};

TEST(Handlers, TurnTheWorkersValuesIntoFigures) {
  EngineRig rig(1);
  FakeRun run(rig);
  BurstRateHandler burst(run);
  burst.handle(EventBurstDone, 1024);
  EXPECT_EQ(rig.results.record.burstRate, 1);
  EXPECT_EQ(rig.results.texts.burstText, "1 MB/s");
  burst.handle(EventBurstDone, 1025);
  EXPECT_EQ(rig.results.record.burstRate, 2);
  burst.handle(EventBurstDone, 0);
  EXPECT_EQ(rig.results.record.burstRate, 0);
  EXPECT_EQ(run.completed, TestBurstRate);

  // Each seek phase's total of 100 seeks in ms becomes its mean.
  SeekTimesHandler seek(run);
  EXPECT_FALSE(seek.handle(EventBurstDone, 0)) << "not its event";
  seek.handle(EventSeekPhaseDone, 8520);
  seek.handle(EventSeekPhaseDone, 9740);
  EXPECT_EQ(run.workers, 2) << "the next phases";
  seek.handle(EventSeekPhaseDone, 12399);
  EXPECT_EQ(rig.results.record.randomSeekMs, 85);
  EXPECT_EQ(rig.results.record.oneThirdSeekMs, 97);
  EXPECT_EQ(rig.results.record.fullSeekMs, 123);
  EXPECT_EQ(rig.results.texts.fullSeekText, "123 ms");
  EXPECT_EQ(run.completed, TestSeekTimes);
  expectInOrder(rig.host.lines, {"Starting 1/3 seek test", "Starting full seek test", "Seek test completed"});

  CpuUtilizationHandler cpu(run);
  for (long percent : {40, 20, 10, 7}) cpu.handle(EventCpuPhaseDone, percent);
  EXPECT_EQ(rig.results.record.cpuUsage, (std::array<int32_t, 4>{40, 20, 10, 7}));
  EXPECT_EQ(rig.results.texts.cpuTexts[3], "7%");
  expectInOrder(rig.host.lines, {"Starting 2X test", "Starting 4X test", "Starting 8X test",
                                 "CPU utilization test completed"});
  EXPECT_EQ(run.completed, TestCpuUtilization);

  rig.sequencer->state().currentLba = 56706;
  rig.sequencer->handleTestEvent(EventReadError, 0x03110B);
  expectInOrder(rig.host.lines, {"Read error at 12:36.06 (code 03110B)", "Test aborted"});
}

TEST(Sequencer, TransferTestOnADiscShorterThanOneZone) {
  EngineRig rig(1);
  rig.drive().insertDisc([] {
    emu::DiscSpec d;
    d.content = emu::DiscContent::Data;
    d.sectors = 8000;
    return d;
  }());
  rig.onlyTests({TestTransferRate});
  rig.probe.refreshDiscPanel(rig.table.selectedDrive());  // clears the unit attention of the new disc
  rig.run();
  EXPECT_EQ(rig.results.record.lastZone, -1);
  EXPECT_EQ(rig.host.count("Transfer rate test completed"), 1);
  EXPECT_EQ(rig.results.texts.averageText, "");
  EXPECT_TRUE(rig.host.plotted.empty());
}

}  // namespace
}  // namespace tmx
