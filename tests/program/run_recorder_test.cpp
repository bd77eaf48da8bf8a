#include "program/run_recorder.h"

#include <gtest/gtest.h>

#include "results/scratch_dir.h"

namespace tmx {
namespace {

TestResults measuredRecord() {
  TestResults r;
  resetRecord(r);
  r.randomSeekMs = 90;
  return r;
}

class RunRecorderTest : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
  std::filesystem::path file = dir / "data/tachometrix/results.sqlite";
  TestResults measured = measuredRecord();
};

TEST_F(RunRecorderTest, OpensTheLibraryOnTheFirstRunWorthRecording) {
  RunRecorder recorder(file);
  TestResults nothing;
  resetRecord(nothing);
  EXPECT_EQ(recorder.record({nothing, RunOutcome::Completed}), std::nullopt);
  EXPECT_EQ(recorder.record({measured, RunOutcome::NotStarted}), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(file)) << "nothing to record, nothing opened";
  EXPECT_EQ(recorder.record({measured, RunOutcome::Cancelled}), std::nullopt);
  EXPECT_EQ(recorder.lastId(), 1);
  EXPECT_EQ(recorder.library()->list().value->front().outcome, RunOutcome::Cancelled);
}

TEST_F(RunRecorderTest, OffRecordsNothing) {
  RunRecorder recorder(std::nullopt);
  EXPECT_FALSE(recorder.enabled());
  EXPECT_EQ(recorder.record({measured, RunOutcome::Completed}), std::nullopt);
  EXPECT_EQ(recorder.library(), nullptr);
}

TEST_F(RunRecorderTest, AFailureIsOneLineNamingTheFileAndTriedAgainNextRun) {
  std::filesystem::create_directories(file.parent_path());
  testing::writeFile(file, "not a library at all, just text that fills the header and more of it");
  RunRecorder recorder(file);
  EXPECT_EQ(recorder.record({measured, RunOutcome::Completed}),
            "Run not recorded: Results library " + file.string() + " cannot be used: file is not a database");
  ASSERT_EQ(setAsideBadLibrary(file), std::nullopt);
  EXPECT_EQ(recorder.record({measured, RunOutcome::Completed}), std::nullopt);
  EXPECT_EQ(notRecordedLine("/x/r.sqlite", "database or disk is full"),
            "Run not recorded in the results library /x/r.sqlite: database or disk is full");
}

TEST(LibraryPathOf, ChosenOffOrTheEnvironmentsDefault) {
  EXPECT_EQ(libraryPathOf(std::filesystem::path("my.sqlite"), false, "/d", "/h"), "my.sqlite");
  EXPECT_EQ(libraryPathOf(std::nullopt, true, "/d", "/h"), std::nullopt);
  EXPECT_EQ(libraryPathOf(std::nullopt, false, "/d", "/h"), "/d/tachometrix/results.sqlite");
  EXPECT_EQ(libraryPathOf(std::nullopt, false, nullptr, nullptr), std::nullopt);
}

}  // namespace
}  // namespace tmx
