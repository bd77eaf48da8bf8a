// Headless runs of the CLI binary on the emulated drives in virtual time:
// faults, result files, the quality check and Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class CliRuns : public ::testing::Test {
 protected:
  CliRuns() {
    dir_ = fs::temp_directory_path() /
           ("tmx-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  ~CliRuns() override { fs::remove_all(dir_); }

  // Runs the CLI in the test's folder; `interruptAfter` sends SIGINT once
  // stdout shows that text.
  Outcome run(const std::vector<std::string>& args, const std::string& interruptAfter = "") {
    const fs::path outPath = dir_ / "stdout", errPath = dir_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      fs::current_path(dir_);
      std::vector<char*> argv{const_cast<char*>(TMX_CLI_PATH)};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) _exit(127);
      setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
      setenv("XDG_DATA_HOME", dir_.c_str(), 1);
      execv(TMX_CLI_PATH, argv.data());
      _exit(127);
    }
    int status = 0;
    bool interrupted = interruptAfter.empty();
    for (;;) {
      const pid_t done = waitpid(pid, &status, interrupted ? 0 : WNOHANG);
      if (done == pid) break;
      if (slurp(outPath).find(interruptAfter) != std::string::npos) {
        kill(pid, SIGINT);
        interrupted = true;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(outPath), slurp(errPath)};
  }

  fs::path dir_;
};

TEST_F(CliRuns, FaultAbortsTheRunAndTheFilesAreStillWritten) {
  const Outcome o = run({"--emulated-only", "--virtual-time", "--drive", "1", "--run", "transfer", "--fault",
                         "read-error@20000", "--json", "run.json", "--save-status", "status.txt"});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.out.find("]   Read error at  4:26.50 (code 031100)"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("]   Test aborted"), std::string::npos);
  const std::string json = slurp(dir_ / "run.json");
  EXPECT_NE(json.find("\"outcome\": \"aborted\""), std::string::npos);
  const std::string status = slurp(dir_ / "status.txt");
  EXPECT_NE(status.find("Test aborted\r\n"), std::string::npos);
}

TEST_F(CliRuns, SavedResultsLoadBack) {
  const Outcome saved = run({"--emulated-only", "--virtual-time", "--drive", "1", "--run", "--select", "seek,burst",
                             "--save-dat", "run.dat", "--save-report", "run.txt"});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_EQ(fs::file_size(dir_ / "run.dat"), 1024u);
  EXPECT_NE(slurp(dir_ / "run.txt").find("\r\n"), std::string::npos);

  const Outcome loaded = run({"--load-dat", "run.dat"});
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  EXPECT_NE(loaded.out.find("DAT file (V0.6B) loaded"), std::string::npos) << loaded.out;
  // The panels show what the run measured.
  const auto line = [](const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
  };
  EXPECT_EQ(line(loaded.out, "Random seek:"), line(saved.out, "Random seek:"));
  EXPECT_EQ(line(loaded.out, "Burst rate:"), line(saved.out, "Burst rate:"));

  EXPECT_EQ(run({"--load-dat", "missing.dat"}).exitCode, 1);
}

TEST_F(CliRuns, QualityCheckPrintsTheMap) {
  const Outcome o = run({"--emulated-only", "--virtual-time", "--quality-check", "--json", "check.json"});
  ASSERT_EQ(o.exitCode, 0) << o.err;
  EXPECT_NE(o.out.find("]   CD quality check completed"), std::string::npos);
  EXPECT_NE(o.out.find("C2 error map"), std::string::npos);
  EXPECT_NE(slurp(dir_ / "check.json").find("\"qualityCheck\""), std::string::npos);

  // A drive without C2 pointers: no check unless --yes.
  const Outcome refused = run({"--emulated-only", "--virtual-time", "--drive", "2", "--quality-check"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
}

TEST_F(CliRuns, InterruptActsAsStop) {
  const Outcome o = run({"--emulated-only", "--time-scale", "20", "--drive", "1", "--run", "seek", "--json",
                         "run.json"},
                        "Starting random seek test");
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.out.find("]   Test cancelled by user"), std::string::npos) << o.out;
  EXPECT_NE(slurp(dir_ / "run.json").find("\"outcome\": \"cancelled\""), std::string::npos);
}

TEST_F(CliRuns, BadEmulatedConfigNamesTheFileAndLine) {
  std::ofstream(dir_ / "drives.json") << "{\n  \"drives\": [\n    { \"target\": 99 }\n  ]\n}\n";
  const Outcome o = run({"--emulated-config", "drives.json", "--list"});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.err.find("drives.json:3"), std::string::npos) << o.err;
}

}  // namespace
