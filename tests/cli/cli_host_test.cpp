// The terminal progress line on a fake terminal and clock: it is redrawn only
// when its text changes, never more often than ten times a second, and comes
// back after other output cleared it.
#include <gtest/gtest.h>

#include "cli/cli_host.h"
#include "platform/clock.h"

namespace tmx::cli {
namespace {

constexpr int64_t kMs = 1'000'000;

struct FakeTerminal {
  int64_t nowNs = 0;
  std::vector<std::string> writes;
  ProgressTerminal terminal() {
    return ProgressTerminal{[this](std::string_view text) { writes.emplace_back(text); }, [this] { return nowNs; }};
  }
  size_t bytes() const {
    size_t n = 0;
    for (const auto& w : writes) n += w.size();
    return n;
  }
};

TEST(ProgressLine, RedrawsOnlyChangesAndAtMostTenTimesASecond) {
  FakeTerminal fake;
  ProgressLine line(fake.terminal());
  // A quality check posts the same value thousands of times a second.
  for (int i = 0; i < 3500; ++i) {
    fake.nowNs = i * kMs / 4;
    line.update(7, "Checking");
  }
  ASSERT_EQ(fake.writes.size(), 1u);
  EXPECT_EQ(fake.writes[0], "\r\033[K[  7%] Checking");

  // A value changing every millisecond for two seconds: about ten draws a
  // second, each at least 100 ms after the last, each the value of its moment.
  fake.writes.clear();
  const int64_t start = fake.nowNs = 1000 * kMs;
  std::vector<int64_t> drawnAt;
  for (int i = 0; i < 2000; ++i) {
    fake.nowNs = start + i * kMs;
    const size_t before = fake.writes.size();
    line.update(i / 20, "Checking");
    if (fake.writes.size() != before) {
      drawnAt.push_back(fake.nowNs);
      char expected[32];
      std::snprintf(expected, sizeof expected, "\r\033[K[%3d%%] Checking", i / 20);
      EXPECT_EQ(fake.writes.back(), expected);
    }
  }
  EXPECT_EQ(drawnAt.size(), 20u);
  for (size_t i = 1; i < drawnAt.size(); ++i) EXPECT_GE(drawnAt[i] - drawnAt[i - 1], ProgressLine::kMinRedrawNs);
}

TEST(ProgressLine, StatusChangesAndClearedLinesAreDrawnAgain) {
  FakeTerminal fake;
  ProgressLine line(fake.terminal());
  line.update(50, "Reading zone 1");
  fake.nowNs = 150 * kMs;
  line.update(50, "Reading zone 2");  // same percent, new status line
  ASSERT_EQ(fake.writes.size(), 2u);
  EXPECT_EQ(fake.writes[1], "\r\033[K[ 50%] Reading zone 2");

  // Other output erases the line; the same state is drawn again, once.
  line.clear();
  EXPECT_FALSE(line.shown());
  EXPECT_EQ(fake.writes.back(), "\r\033[K");
  line.clear();
  EXPECT_EQ(fake.writes.size(), 3u) << "nothing to erase twice";
  fake.nowNs = 300 * kMs;
  line.update(50, "Reading zone 2");
  line.update(50, "Reading zone 2");
  EXPECT_EQ(fake.writes.size(), 4u);
  EXPECT_TRUE(line.shown());
}

TEST(ProgressLine, CliHostShowsTheLastStatusLineOnlyOnATerminal) {
  VirtualClock clock;
  StatusLog log(clock);
  FakeTerminal fake;
  CliHost quiet(log, false, false, fake.terminal());
  quiet.setProgress(10);
  EXPECT_TRUE(fake.writes.empty());

  CliHost host(log, false, true, fake.terminal());
  host.setProgress(10);
  host.addStatusLine("Test started");
  fake.nowNs = 200 * kMs;
  host.setProgress(10);
  ASSERT_EQ(fake.writes.size(), 3u);  // draw, erase before the status line, draw
  EXPECT_NE(fake.writes[2].find("Test started"), std::string::npos);
  EXPECT_LT(fake.bytes(), 100u);
}

}  // namespace
}  // namespace tmx::cli
