// The CLI against what a careful user (or an attacker) meets: outputs that
// never open, signals during the final saves, a closed stdout, a hung drive
// under the drive check, concurrent runs in one folder, a blank disc, files
// asked for after an early interrupt. Each case is its reproducer, run in
// virtual or scaled time.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "cli/cli_process.h"
#include "results/dat_file.h"
#include "results/results_model.h"
#include "results/status_log.h"

namespace tmx {
namespace {

namespace fs = std::filesystem;
using testing::CliCall;
using testing::CliRun;
using testing::CliSandbox;
using testing::describe;
using testing::slurpFile;
using namespace std::chrono_literals;

std::string outcomeIn(const fs::path& json) {
  const std::string text = slurpFile(json);
  if (!nlohmann::json::accept(text)) return "(invalid JSON: " + text + ")";
  return nlohmann::json::parse(text).value("outcome", "(no outcome)");
}

TEST(CliReliability, AnOutputThatNeverOpensEndsOnASignal) {
  CliSandbox box("fifo-output");
  ASSERT_EQ(::mkfifo((box / "p").c_str(), 0600), 0);
  CliCall call({"--emulated-only", "--virtual-time", "--run", "burst", "--json", "p", "--graph-svg", "g.svg"}, 20s);
  call.interruptAfterText = "Burst rate:";
  call.interruptAfter = 300ms;
  call.interruptSignal = SIGTERM;
  const CliRun r = box.run(call);
  EXPECT_FALSE(r.hung) << "before: killed, rc 137";
  EXPECT_EQ(r.exitCode, 1) << describe(r);
  EXPECT_NE(r.err.find("waiting for a reader of p"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("interrupted while saving"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("/p: Not written: interrupted"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("g.svg: Not written: interrupted"), std::string::npos) << "the saves end\n" << r.err;
  EXPECT_FALSE(fs::exists(box / "g.svg"));

  // A loop of links as the target: refused with its cause, the links kept.
  fs::create_symlink("loop-b", box / "loop-a");
  fs::create_symlink("loop-a", box / "loop-b");
  const CliRun loop = box.run(CliCall({"--emulated-only", "--virtual-time", "--run", "burst", "--json", "loop-a"}));
  EXPECT_EQ(loop.exitCode, 1) << "before: replaced by a file, exit 0\n" << describe(loop);
  EXPECT_NE(loop.err.find("loop-a: Too many levels of symbolic links"), std::string::npos) << loop.err;
  EXPECT_TRUE(fs::is_symlink(box / "loop-a"));
}

// Ctrl-C, SIGTERM and a closed terminal stop the run after the drive's
// current command; the files asked for are written.
TEST(CliReliability, EverySignalOfAnEndingSessionStopsTheRunAndKeepsTheFiles) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    CliSandbox box("signals");
    CliCall call({"--emulated-only", "--time-scale", "50", "--drive", "1", "--run", "transfer", "--json", "run.json",
                  "--save-dat", "run.dat"},
                 30s);
    call.interruptAfterText = "Starting transfer rate test";
    call.interruptAfter = 200ms;
    call.interruptSignal = signal;
    const CliRun r = box.run(call);
    EXPECT_EQ(r.signal, 0) << strsignal(signal) << "\n" << describe(r);
    EXPECT_EQ(r.exitCode, 1) << strsignal(signal) << "\n" << describe(r);
    EXPECT_EQ(outcomeIn(box / "run.json"), "cancelled") << strsignal(signal);
    EXPECT_EQ(fs::file_size(box / "run.dat"), kDatFileSize) << strsignal(signal);
  }
}

TEST(CliReliability, AClosedStdoutStopsTheRunAndKeepsTheFiles) {
  CliSandbox box("sigpipe");
  CliCall call({"--emulated-only", "--time-scale", "50", "--run", "selected", "--json", "r.json"}, 60s);
  call.closeStdoutAfterLines = 2;  // | head -2
  const CliRun r = box.run(call);
  EXPECT_EQ(r.signal, 0) << "before: SIGPIPE, rc 141, no r.json\n" << describe(r);
  EXPECT_EQ(r.exitCode, 1) << describe(r);
  EXPECT_NE(r.err.find("standard output was closed"), std::string::npos) << r.err;
  EXPECT_EQ(outcomeIn(box / "r.json"), "cancelled");
}

TEST(CliReliability, TheDriveCheckStopsAfterTheCommandInFlight) {
  CliSandbox box("drive-check-interrupt");
  CliCall call({"--emulated-only", "--time-scale", "30", "--drive", "0:0", "--drive-check", "--fault", "hang@BB*all",
                "--json", "check.json"},
               20s);
  call.interruptAfterText = "C2 pointers";
  call.interruptAfter = 200ms;  // inside the first hung SET CD SPEED (1 s at this scale)
  const auto start = std::chrono::steady_clock::now();
  const CliRun r = box.run(call);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(r.hung) << "before: Ctrl-C ignored, killed";
  EXPECT_EQ(r.exitCode, 1) << describe(r);
  EXPECT_LT(took, 8s) << "one command's timeout (1 s) and the start";
  EXPECT_EQ(r.out.find("Supported commands"), std::string::npos) << r.out;
  EXPECT_TRUE(nlohmann::json::accept(slurpFile(box / "check.json"))) << "what was gathered is written";
}

TEST(CliReliability, ConcurrentDaeTestsInOneFolderDoNotMeet) {
  CliSandbox box("dae-concurrent");
  std::vector<std::thread> runs;
  std::vector<CliRun> results(3);
  for (size_t i = 0; i < results.size(); ++i) {
    runs.emplace_back([&, i] {
      results[i] = box.run(CliCall({"--emulated-only", "--virtual-time", "--drive", "0", "--run", "dae", "--json",
                                    "dae" + std::to_string(i) + ".json"}));
    });
  }
  for (auto& t : runs) t.join();
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i].exitCode, 0) << "before: \"Cannot read back audio.raw\"\n" << describe(results[i]);
    const auto json = nlohmann::json::parse(slurpFile(box / ("dae" + std::to_string(i) + ".json")));
    EXPECT_EQ(json["dae"]["score"], 10) << "before, one run in three: score 0";
  }
  EXPECT_FALSE(fs::exists(box / "audio.raw"));
}

TEST(CliReliability, ABlankDiscIsShownAsBlankAndNotMeasured) {
  CliSandbox box("blank");
  const CliRun probe = box.run(CliCall({"--emulated-only", "--virtual-time", "--drive", "0:6", "--probe"}));
  EXPECT_NE(probe.out.find("Type: Blank\nLength:  0:00.00\n"), std::string::npos) << "before: 0:-2.00\n" << probe.out;
  const CliRun run = box.run(CliCall({"--emulated-only", "--virtual-time", "--drive", "0:6", "--run", "transfer"}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("is blank: there is nothing to read"), std::string::npos) << "before: nothing on stderr";
  EXPECT_EQ(run.out.find("Read error"), std::string::npos) << run.out;
}

// Interrupted while the drive answers the probe's questions: nothing ran, and
// every file asked for says so, the DAT file included.
TEST(CliReliability, InterruptedBeforeTheRunEveryFileIsWritten) {
  CliSandbox box("early-interrupt");
  CliCall call({"--emulated-only", "--time-scale", "30", "--drive", "1", "--run", "burst", "--save-dat", "r.dat",
                "--json", "r.json", "--fault", "hang@5A*all", "--fault", "hang@1A*all"},
               20s);
  call.interruptAfter = 300ms;
  const CliRun r = box.run(call);
  EXPECT_EQ(r.exitCode, 1) << describe(r);
  EXPECT_EQ(outcomeIn(box / "r.json"), "not started");
  ASSERT_TRUE(fs::exists(box / "r.dat")) << "before: no DAT file";
  ResultsModel model;
  VirtualClock clock;
  StatusLog log(clock);
  ASSERT_TRUE(loadDatFile(box / "r.dat", model, log).ok());
  EXPECT_EQ(model.record.burstRate, -1);
  EXPECT_EQ(model.record.randomSeekMs, -1);
  EXPECT_EQ(model.record.daeScore, -1);
  EXPECT_EQ(model.record.discLength, 333000);
}

}  // namespace
}  // namespace tmx
