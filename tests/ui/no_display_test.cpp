// The window's program with no display to open: a line that says so and
// points to the CLI, exit 1, never an abort.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Outcome {
  int exitCode = -1;
  int signal = 0;
  std::string err;
};

Outcome runWindow(const char* display) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], STDERR_FILENO);
    ::close(pipeFds[0]);
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("WAYLAND_DISPLAY");
    display ? ::setenv("DISPLAY", display, 1) : ::unsetenv("DISPLAY");
    ::execl(TMX_WINDOW_PATH, TMX_WINDOW_PATH, "--emulated-only", static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(pipeFds[1]);
  Outcome outcome;
  std::array<char, 4096> chunk{};
  for (ssize_t n; (n = ::read(pipeFds[0], chunk.data(), chunk.size())) > 0;) outcome.err.append(chunk.data(), n);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return outcome;
}

TEST(NoDisplay, TheWindowSaysSoAndExitsWithOne) {
  for (const char* display : {static_cast<const char*>(nullptr), ":97"}) {
    const Outcome o = runWindow(display);
    const std::string which = display ? display : "(unset)";
    EXPECT_EQ(o.signal, 0) << "DISPLAY " << which << ": before, SIGABRT (exit 134)\n" << o.err;
    EXPECT_EQ(o.exitCode, 1) << which << "\n" << o.err;
    EXPECT_NE(o.err.find("tachometrix: no display could be opened"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("tachometrix-cli"), std::string::npos) << o.err;
  }
}

}  // namespace
