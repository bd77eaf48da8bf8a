// Runs the CLI binary as a child process in a scratch folder, with stdout and
// stderr captured, an optional interrupt (SIGINT or another signal, on a text
// appearing or after a delay), optionally a stdout pipe whose reader leaves
// after some lines, and a hard limit after which the child is killed and the
// run marked hung.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tmx::testing {

struct CliRun {
  int exitCode = -1;   // -1 when it did not exit normally
  int signal = 0;      // the signal that ended it, if one did
  bool hung = false;   // killed at the limit
  std::string out;
  std::string err;
};

// How a run ended and what it printed, for a failing expectation's message.
inline std::string describe(const CliRun& r) {
  return "exit " + std::to_string(r.exitCode) + (r.signal ? " signal " + std::to_string(r.signal) : "") +
         (r.hung ? " HUNG" : "") + "\nstdout: " + r.out + "\nstderr: " + r.err;
}

struct CliCall {
  explicit CliCall(std::vector<std::string> arguments, std::chrono::seconds hardLimit = std::chrono::seconds(60))
      : args(std::move(arguments)), limit(hardLimit) {}
  std::vector<std::string> args;
  std::chrono::seconds limit;
  // SIGINT `interruptAfter` after stdout shows `interruptAfterText`, or, with
  // no text, after the program has blocked SIGINT (a signal before that point
  // would meet the default action of any program).
  std::string interruptAfterText;
  std::optional<std::chrono::microseconds> interruptAfter;
  int interruptSignal = SIGINT;
  // stdout is a pipe whose reader closes it after this many lines (as
  // `| head -N` does); what was read is the run's `out`.
  std::optional<int> closeStdoutAfterLines;
};

inline std::string slurpFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Whether `pid` runs the CLI (it has exec'd: a forked child may block
// signals for a moment of its own) and blocks SIGINT, i.e. the program is far
// enough into main to take an interrupt in order.
inline bool blocksInterrupts(pid_t pid) {
  const std::string program = std::filesystem::path(TMX_CLI_PATH).filename().string().substr(0, 15);
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  bool running = false;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Name:", 0) == 0) running = line.substr(line.find_first_not_of(" \t", 5)) == program;
    if (line.rfind("SigBlk:", 0) == 0) return running && ((std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1);
  }
  return false;
}

class CliSandbox {
 public:
  explicit CliSandbox(const std::string& name) {
    dir_ = std::filesystem::temp_directory_path() / ("tmx-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~CliSandbox() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  CliSandbox(const CliSandbox&) = delete;
  CliSandbox& operator=(const CliSandbox&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

  CliRun run(const CliCall& call) const {
    const auto outPath = dir_ / "stdout", errPath = dir_ / "stderr";
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);  // the child would flush what the parent left buffered
    std::fflush(stderr);
    int outPipe[2] = {-1, -1};
    if (call.closeStdoutAfterLines && ::pipe2(outPipe, O_CLOEXEC) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
      std::filesystem::current_path(dir_);
      std::vector<char*> argv{const_cast<char*>(TMX_CLI_PATH)};
      for (const auto& a : call.args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) _exit(127);
      if (outPipe[1] >= 0 && ::dup2(outPipe[1], STDOUT_FILENO) < 0) _exit(127);
      ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
      // Runs are recorded in the sandbox's library, never in the user's.
      ::setenv("XDG_DATA_HOME", dir_.c_str(), 1);
      ::execv(TMX_CLI_PATH, argv.data());
      _exit(127);
    }
    CliRun result;
    std::string piped;
    if (outPipe[1] >= 0) {
      ::close(outPipe[1]);
      ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    }
    // Reads what the pipe holds; closes it after the lines asked for.
    const auto readPipe = [&] {
      if (outPipe[0] < 0) return;
      char chunk[4096];
      for (ssize_t n; (n = ::read(outPipe[0], chunk, sizeof chunk)) > 0;) piped.append(chunk, static_cast<size_t>(n));
      if (std::count(piped.begin(), piped.end(), '\n') >= *call.closeStdoutAfterLines) {
        ::close(outPipe[0]);
        outPipe[0] = -1;
      }
    };
    int status = 0;
    bool interrupted = call.interruptAfterText.empty() && !call.interruptAfter;
    std::optional<std::chrono::steady_clock::time_point> armedAt;
    for (;;) {
      readPipe();
      const pid_t done = ::waitpid(pid, &status, WNOHANG);
      if (done == pid) break;
      const auto elapsed = std::chrono::steady_clock::now() - start;
      if (elapsed > call.limit && !result.hung) {
        ::kill(pid, SIGKILL);
        result.hung = true;
      }
      if (!interrupted) {
        if (!armedAt && (call.interruptAfterText.empty()
                             ? blocksInterrupts(pid)
                             : slurpFile(outPath).find(call.interruptAfterText) != std::string::npos)) {
          armedAt = std::chrono::steady_clock::now();
        }
        const bool due =
            armedAt && std::chrono::steady_clock::now() - *armedAt >= call.interruptAfter.value_or(std::chrono::microseconds(0));
        if (due) {
          ::kill(pid, call.interruptSignal);
          interrupted = true;
          continue;
        }
      }
      std::this_thread::sleep_for(std::chrono::microseconds(interrupted ? 2000 : 100));
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    if (outPipe[0] >= 0) ::close(outPipe[0]);
    result.out = call.closeStdoutAfterLines ? piped : slurpFile(outPath);
    result.err = slurpFile(errPath);
    return result;
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace tmx::testing
