#include "results/status_log.h"

#include <gtest/gtest.h>

#include <regex>

#include "scratch_dir.h"

namespace tmx {
namespace {

TEST(StatusLine, StampsTheTimeOfDayAndThreeBlanks) {
  std::tm t{};
  t.tm_hour = 7;
  t.tm_min = 5;
  t.tm_sec = 9;
  EXPECT_EQ(formatStatusLine(t, "Initializing"), "[07:05:09]   Initializing");
  t.tm_hour = 23;
  EXPECT_EQ(formatStatusLine(t, ""), "[23:05:09]   ");
}

TEST(StatusLog, KeepsLinesInOrderAndTellsTheObserver) {
  VirtualClock clock;
  StatusLog log(clock);
  std::vector<std::string> seen;
  log.setObserver([&](const std::string& line) { seen.push_back(line); });
  StatusSink& sink = log;
  sink.addStatusLine("Initializing");
  sink.addStatusLine("Test aborted");
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_TRUE(std::regex_match(log.lines()[0], std::regex(R"(\[\d\d:\d\d:\d\d\]   Initializing)")));
  EXPECT_EQ(seen, log.lines());
}

TEST(SaveStatusLog, WritesEveryLineWithCrLfEachTime) {
  testing::ScratchDir dir;
  VirtualClock clock;
  StatusLog log(clock);
  for (const char* text : {"one", "two", "three"}) log.addStatusLine(text);
  ASSERT_TRUE(saveStatusLog(dir / "status.txt", log.lines()).ok());
  const std::string first = testing::readFile(dir / "status.txt");
  EXPECT_EQ(first, log.lines()[0] + "\r\n" + log.lines()[1] + "\r\n" + log.lines()[2] + "\r\n");

  log.addStatusLine("four");
  ASSERT_TRUE(saveStatusLog(dir / "status.txt", log.lines()).ok());
  EXPECT_EQ(testing::readFile(dir / "status.txt"), first + log.lines()[3] + "\r\n");
}

TEST(SaveStatusLog, ReportsAFileThatCannotBeCreated) {
  testing::ScratchDir dir;
  EXPECT_EQ(saveStatusLog(dir / "no" / "status.txt", {"x"}).error, "Error saving file");
  EXPECT_EQ(saveStatusLog(dir.path(), {"x"}).error, "Error saving file");  // a folder
}

}  // namespace
}  // namespace tmx
