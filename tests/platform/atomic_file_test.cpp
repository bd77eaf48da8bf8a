// The atomic save in front of every file the program writes: what it keeps of
// the file it replaces, and targets that cannot be replaced by a rename.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/atomic_file.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;
namespace fs = std::filesystem;

mode_t modeOf(const fs::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(AtomicFile, ReplacesThroughSymlinksAndKeepsTheMode) {
  ScratchDir dir;
  writeFile(dir / "real.json", "old");
  ASSERT_EQ(::chmod((dir / "real.json").c_str(), 0600), 0);
  fs::create_directory(dir / "sub");
  fs::create_symlink("../real.json", dir / "sub" / "link.json");

  EXPECT_EQ(writeFileAtomically(dir / "sub" / "link.json", "new"), 0);
  EXPECT_TRUE(fs::is_symlink(dir / "sub" / "link.json")) << "the link stays a link";
  EXPECT_EQ(readFile(dir / "real.json"), "new");
  EXPECT_EQ(modeOf(dir / "real.json"), 0600u) << "an existing file keeps its permissions";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "sub"), {}), 1) << "no temporary left beside the link";

  // A dangling link creates the file it names.
  fs::create_symlink("made.json", dir / "dangling.json");
  EXPECT_EQ(writeFileAtomically(dir / "dangling.json", "made"), 0);
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.json"));
  EXPECT_EQ(readFile(dir / "made.json"), "made");
}

TEST(AtomicFile, WritesPipesAndDevicesDirectly) {
  ScratchDir dir;
  const fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = readFile(fifo); });
  EXPECT_EQ(writeFileAtomically(fifo, "through the pipe"), 0);
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the pipe is not replaced by a file";

  // The process's own descriptor: written through it, after what it holds.
  const int fd = ::open((dir / "log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "head ", 5), 5);
  EXPECT_EQ(writeFileAtomically("/dev/fd/" + std::to_string(fd), "tail"), 0);
  ::close(fd);
  EXPECT_EQ(readFile(dir / "log"), "head tail");

  EXPECT_EQ(writeFileAtomically("/dev/null", "gone"), 0);
  ASSERT_EQ(::lstat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(AtomicFile, RefusesALoopOfLinksAndKeepsIt) {
  ScratchDir dir;
  fs::create_symlink("b.json", dir / "a.json");
  fs::create_symlink("a.json", dir / "b.json");
  EXPECT_EQ(writeFileAtomically(dir / "a.json", "x"), ELOOP);
  EXPECT_TRUE(fs::is_symlink(dir / "a.json")) << "before: replaced by a regular file";
  EXPECT_EQ(fs::read_symlink(dir / "a.json"), "b.json");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "no temporary left";

  // A chain longer than the kernel follows is a loop too.
  fs::create_symlink("end.json", dir / "l0");
  for (int i = 1; i <= 41; ++i) fs::create_symlink("l" + std::to_string(i - 1), dir / ("l" + std::to_string(i)));
  EXPECT_EQ(writeFileAtomically(dir / "l41", "x"), ELOOP);
  EXPECT_FALSE(fs::exists(dir / "end.json"));
}

// A FIFO nobody reads, or one whose reader stopped reading, holds the write
// only until the cancel flag is set.
TEST(AtomicFile, AWaitForAPipeEndsWhenCancelled) {
  ScratchDir dir;
  const fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::atomic<bool> cancel{false};
  int waitingCalls = 0;
  WriteControl control{&cancel, [&] { ++waitingCalls; }};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    cancel = true;
  });
  EXPECT_EQ(writeFileAtomically(fifo, "nobody reads", control), ECANCELED);
  canceller.join();
  EXPECT_EQ(waitingCalls, 1);

  // A reader that opens but never reads: the pipe fills and the write waits.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  cancel = false;
  std::thread later([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    cancel = true;
  });
  EXPECT_EQ(writeFileAtomically(fifo, std::string(1 << 20, 'x'), control), ECANCELED);
  later.join();
  ::close(reader);

  // Set before the write: nothing is written, not even a regular file.
  EXPECT_EQ(writeFileAtomically(dir / "plain.txt", "x", control), ECANCELED);
  EXPECT_FALSE(fs::exists(dir / "plain.txt"));
}

}  // namespace
}  // namespace tmx
