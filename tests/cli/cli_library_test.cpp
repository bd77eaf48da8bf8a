// The results library through the CLI binary: runs recorded as they end, in
// the sandbox's library; the library's commands; a library that cannot take
// a run never costs the run.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "cli/cli_process.h"
#include "library/results_library.h"
#include "library/sqlite_database.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

using testing::CliCall;
using testing::CliRun;
using testing::CliSandbox;
using testing::describe;
using testing::slurpFile;

const std::vector<std::string> kRun = {"--emulated-only", "--virtual-time", "--run", "seek"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// Status lines without their time of day, which differs from run to run.
std::string untimed(const std::string& out) { return std::regex_replace(out, std::regex(R"(\[\d\d:\d\d:\d\d\])"), "[t]"); }

class CliLibrary : public ::testing::Test {
 protected:
  CliSandbox box{"cli-library"};
  std::filesystem::path library = box / "tachometrix/results.sqlite";
  CliRun run(const std::vector<std::string>& args) const { return box.run(CliCall(args)); }
};

TEST_F(CliLibrary, EveryRunThatMeasuredIsRecordedInTheSandboxsLibrary) {
  const CliRun seek = run(kRun);
  ASSERT_EQ(seek.exitCode, 0) << describe(seek);
  EXPECT_EQ(seek.out.find("not recorded"), std::string::npos) << seek.out;
  const CliRun check = run({"--emulated-only", "--virtual-time", "--quality-check", "--yes"});
  ASSERT_EQ(check.exitCode, 0) << describe(check);
  const CliRun history = run({"--history"});
  ASSERT_EQ(history.exitCode, 0) << describe(history);
  const std::regex lines(
      R"(    2  \d{4}-\d\d-\d\d \d\d:\d\d  \S.*  CD audio 74:00.00  quality check  completed
    1  \d{4}-\d\d-\d\d \d\d:\d\d  \S.*  CD audio 74:00.00  seeks \d+/\d+/\d+ ms, completed
)");
  EXPECT_TRUE(std::regex_match(history.out, lines)) << history.out;
  auto lib = ResultsLibrary::open(library, {.readOnly = true});
  const auto stored = lib.load(1);
  ASSERT_TRUE(stored) << stored.error;
  EXPECT_TRUE(stored.value->drive.emulated);
  EXPECT_EQ(stored.value->drive.driver, "tmx-emulator");
  EXPECT_EQ(stored.value->disc.tocDigest.size(), 16u);
  EXPECT_FALSE(stored.value->statusLines.empty());
}

TEST_F(CliLibrary, CancelledRunIsRecordedWithItsFiguresAndOneWithoutNone) {
  CliCall call({"--emulated-only", "--time-scale", "50", "--run", "--select", "seek,cpu"});
  call.interruptAfterText = "Seek test completed";
  const CliRun cancelled = box.run(call);
  EXPECT_EQ(cancelled.exitCode, 1) << describe(cancelled);
  CliCall early({"--emulated-only", "--time-scale", "50", "--run", "burst"});
  early.interruptAfter = std::chrono::microseconds(0);
  EXPECT_EQ(box.run(early).exitCode, 1);
  const auto rows = ResultsLibrary::open(library).list();
  ASSERT_TRUE(rows) << rows.error;
  ASSERT_EQ(rows.value->size(), 1u);
  EXPECT_EQ(rows.value->front().outcome, RunOutcome::Cancelled);
  EXPECT_TRUE(rows.value->front().randomSeekMs);
}

TEST_F(CliLibrary, OutputsStayAsTheyWereAndNoLibraryRecordsNothing) {
  const CliRun recorded = run(with(kRun, {"--save-dat", "a.dat"}));
  const CliRun unrecorded = run(with(kRun, {"--save-dat", "b.dat", "--no-library", "--library-wait", "10"}));
  ASSERT_EQ(recorded.exitCode, 0) << describe(recorded);
  ASSERT_EQ(unrecorded.exitCode, 0) << describe(unrecorded);
  EXPECT_EQ(untimed(recorded.out), untimed(unrecorded.out));
  EXPECT_EQ(slurpFile(box / "a.dat"), slurpFile(box / "b.dat"));
  auto lib = ResultsLibrary::open(library, {.readOnly = true});
  EXPECT_EQ(lib.list().value->size(), 1u);
  ASSERT_EQ(run(with(kRun, {"--library", "other/lib.sqlite"})).exitCode, 0);
  EXPECT_EQ(ResultsLibrary::open(box / "other/lib.sqlite").list().value->size(), 1u);
  EXPECT_EQ(lib.list().value->size(), 1u);
}

TEST_F(CliLibrary, DamagedLibraryCostsTheRunNothingAndSaysWhy) {
  std::filesystem::create_directories(library.parent_path());
  testing::writeFile(library, std::string(2048, '#'));
  const CliRun r = run(kRun);
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("]   Run not recorded: Results library " + library.string() +
                       " cannot be used: file is not a database\n"),
            std::string::npos)
      << r.out;
}

TEST_F(CliLibrary, LockedLibraryIsWaitedForThenTheRunCompletesAndSaysWhy) {
  ASSERT_EQ(run(kRun).exitCode, 0);
  SqliteError error;
  auto other = SqliteDatabase::open(library, SqliteOpen::ReadWrite, error);
  ASSERT_TRUE(other && other->exec("BEGIN IMMEDIATE"));
  const CliRun r = run(with(kRun, {"--library-wait", "300"}));
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_NE(r.out.find("]   Run not recorded in the results library " + library.string() +
                       ": database is locked (by another program, waited 300 ms)\n"),
            std::string::npos)
      << r.out;
  other->exec("COMMIT");
}

// A signal while the finished run is recorded (here: waiting for a locked
// library) gives no file up and fails nothing: the files are written already.
TEST_F(CliLibrary, SignalWhileRecordingGivesNothingUp) {
  ASSERT_EQ(run(kRun).exitCode, 0);
  SqliteError error;
  auto other = SqliteDatabase::open(library, SqliteOpen::ReadWrite, error);
  ASSERT_TRUE(other && other->exec("BEGIN IMMEDIATE"));
  CliCall call(with(kRun, {"--library-wait", "1500"}));
  call.interruptAfterText = "Burst rate: ";
  call.interruptAfter = std::chrono::milliseconds(300);
  const CliRun r = box.run(call);
  other->exec("COMMIT");
  EXPECT_EQ(r.exitCode, 0) << describe(r);
  EXPECT_EQ(r.err.find("given up"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Run not recorded in the results library"), std::string::npos) << r.out;
}

TEST_F(CliLibrary, TwoRunsAtOnceBothLand) {
  std::thread a([&] { EXPECT_EQ(run(kRun).exitCode, 0); });
  std::thread b([&] { EXPECT_EQ(run({"--emulated-only", "--virtual-time", "--run", "burst"}).exitCode, 0); });
  a.join();
  b.join();
  EXPECT_EQ(ResultsLibrary::open(library).list().value->size(), 2u);
}

TEST_F(CliLibrary, ShownRunWritesTheFilesOfALoadAndExportsImportElsewhere) {
  ASSERT_EQ(run(with(kRun, {"--save-dat", "run.dat"})).exitCode, 0);
  const CliRun shown = run({"--show-run", "1", "--json", "r.json", "--save-report", "r.txt", "--graph-svg", "g.svg"});
  ASSERT_EQ(shown.exitCode, 0) << describe(shown);
  EXPECT_NE(shown.out.find("Random seek: "), std::string::npos) << shown.out;
  EXPECT_NE(slurpFile(box / "r.json").find("\"seekMs\": {"), std::string::npos);
  EXPECT_NE(slurpFile(box / "r.txt").find("Random\t"), std::string::npos);
  EXPECT_NE(slurpFile(box / "g.svg").find("<svg"), std::string::npos);
  EXPECT_EQ(run({"--show-run", "9"}).exitCode, 1);
  EXPECT_EQ(run({"--library", "none.sqlite", "--history"}).out, "No runs in none.sqlite\n");
  EXPECT_FALSE(std::filesystem::exists(box / "none.sqlite"));  // reading makes no library

  ASSERT_EQ(run({"--export-runs", "b.json", "--runs", "1"}).exitCode, 0);
  ASSERT_EQ(run({"--export-csv", "runs.csv"}).exitCode, 0);
  const std::string csv = slurpFile(box / "runs.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
  const CliRun imported = run({"--library", "two.sqlite", "--import-runs", "b.json", "--import-runs", "run.dat"});
  ASSERT_EQ(imported.exitCode, 0) << describe(imported);
  EXPECT_EQ(imported.out, "Imported 2 runs into two.sqlite\n");
  const auto two = ResultsLibrary::open(box / "two.sqlite").list();
  ASSERT_EQ(two.value->size(), 2u);
  EXPECT_EQ(ResultsLibrary::open(library).load(1).value->record.randomSeekMs,
            ResultsLibrary::open(box / "two.sqlite").load(1).value->record.randomSeekMs);
}

// A recordable DVD's or BD's maker is kept with the run as the drive reports
// it: pre-pit data, ADIP, disc information; a pressed disc has none.
TEST_F(CliLibrary, RecordableDvdAndBdMakersAreKeptWithTheirRuns) {
  for (const char* drive : {"0:10", "0:9", "0:12", "0:8"}) {
    const CliRun burst = run({"--emulated-only", "--virtual-time", "--drive", drive, "--run", "burst"});
    ASSERT_EQ(burst.exitCode, 0) << drive << describe(burst);
  }
  auto lib = ResultsLibrary::open(library, {.readOnly = true});
  const std::vector<std::string> makers = {"VARENTI DR08", "NOVADISC D52", "QENTRA BR4", ""};
  for (int64_t id = 1; id <= 4; ++id) {
    const auto stored = lib.load(id);
    ASSERT_TRUE(stored) << stored.error;
    EXPECT_EQ(stored.value->disc.manufacturer, makers[static_cast<size_t>(id - 1)]) << stored.value->disc.profile;
  }
}

// Two kept runs side by side: the table of both with the second's difference,
// their curves overlaid as SVG; a single id, an unknown one or a file the
// comparison cannot fill are refused.
TEST_F(CliLibrary, ComparedRunsSideBySideWithTheirCurvesOverlaid) {
  const std::vector<std::string> transfer = {"--emulated-only", "--virtual-time", "--run", "transfer", "--test-length",
                                             "6"};
  ASSERT_EQ(run(with(transfer, {"--drive", "0:0"})).exitCode, 0);
  ASSERT_EQ(run(with(transfer, {"--drive", "0:1"})).exitCode, 0);
  const CliRun compared = run({"--compare", "1,2", "--graph-svg", "both.svg"});
  ASSERT_EQ(compared.exitCode, 0) << describe(compared);
  EXPECT_TRUE(std::regex_search(compared.out, std::regex(R"(^#1 \d{4}-.* CD audio 74:00.00\n#2 )"))) << compared.out;
  EXPECT_TRUE(std::regex_search(compared.out, std::regex(R"(\nAverage speed +\d+\.\d\d X +\d+\.\d\d X \([+-]\d+\.\d\d X\)\n)")))
      << compared.out;
  EXPECT_NE(compared.out.find("\nRandom seek      not measured  not measured\n"), std::string::npos) << compared.out;
  const std::string svg = slurpFile(box / "both.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("#1 "), std::string::npos) << "the legend names each run";
  EXPECT_NE(svg.find("#2 "), std::string::npos);

  EXPECT_EQ(run({"--compare", "1"}).exitCode, 2);
  EXPECT_EQ(run({"--compare", "1,2", "--json", "x.json"}).exitCode, 2);
  const CliRun unknown = run({"--compare", "1,7"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("no run 7"), std::string::npos) << unknown.err;
}

TEST_F(CliLibrary, BadBundleIsRefusedNamingTheFieldAndNothingIsImported) {
  ASSERT_EQ(run(kRun).exitCode, 0);
  ASSERT_EQ(run({"--export-runs", "b.json"}).exitCode, 0);
  std::string bundle = slurpFile(box / "b.json");
  bundle.replace(bundle.find("\"daeErrors\": 0"), 14, "\"daeErrors\": -4");
  testing::writeFile(box / "bad.json", bundle);
  const CliRun r = run({"--import-runs", "b.json", "--import-runs", "bad.json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("bad.json is refused, nothing of it is imported: runs[0].record.daeErrors: -4 out of range"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ResultsLibrary::open(library).list().value->size(), 1u);
}

}  // namespace
}  // namespace tmx
