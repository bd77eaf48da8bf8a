// The JSON of a run says null for every result that was not measured, also
// when the record was never reset (a CD quality check on its own).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/json_report.h"

namespace tmx::cli {
namespace {

using nlohmann::json;

json report(const TestResults& record, RunOutcome outcome, bool qualityMap = false) {
  const std::vector<std::string> lines;
  const DriveFacts drive;
  return json::parse(formatJsonReport({makeRunReport(record, outcome, qualityMap), lines, drive}));
}

TEST(JsonUnmeasured, QualityCheckAloneReportsNoOtherResult) {
  TestResults record;  // as at program start: zeros, never reset
  record.qualityErrors = 1000;
  const json j = report(record, RunOutcome::Completed, true);
  for (const char* key : {"random", "oneThird", "full"}) EXPECT_TRUE(j["seekMs"][key].is_null()) << key;
  for (const char* key : {"1x", "2x", "4x", "8x"}) EXPECT_TRUE(j["cpuPercent"][key].is_null()) << key;
  EXPECT_TRUE(j["burstMBps"].is_null());
  EXPECT_TRUE(j["dae"]["score"].is_null());
  EXPECT_TRUE(j["dae"]["accurateStream"].is_null());
  EXPECT_TRUE(j["disc"]["type"].is_null());
  EXPECT_TRUE(j["disc"]["lengthSectors"].is_null());
  EXPECT_TRUE(j["transferRate"]["lastZone"].is_null());
  EXPECT_TRUE(j["transferRate"]["zoneSpeedsX"].empty());
  EXPECT_TRUE(j["spinSeconds"]["up"].is_null());
  EXPECT_EQ(j["qualityCheck"]["errors"], 1000);
}

TEST(JsonUnmeasured, RunShowsWhatItMeasuredAndNullForTheRest) {
  TestResults record;
  resetRecord(record);
  record.discType = 1;
  record.discLength = 333000;
  record.burstRate = 10;
  record.cpuUsage[0] = 0;  // a measured zero stays a zero
  record.spinDownTime = 0.0;
  json j = report(record, RunOutcome::Completed);
  EXPECT_EQ(j["burstMBps"], 10);
  EXPECT_EQ(j["cpuPercent"]["1x"], 0);
  EXPECT_TRUE(j["cpuPercent"]["2x"].is_null());
  EXPECT_TRUE(j["seekMs"]["random"].is_null());
  EXPECT_EQ(j["disc"]["type"], 1);
  EXPECT_EQ(j["disc"]["lengthSectors"], 333000);
  EXPECT_TRUE(j["transferRate"]["lastZone"].is_null()) << "no transfer test ran";
  EXPECT_EQ(j["spinSeconds"]["down"], 0.0);

  record.lastZone = 36;
  record.speedSamples[0] = 110.0;
  record.speedSamples[1] = -1.0;
  j = report(record, RunOutcome::Aborted);
  EXPECT_EQ(j["transferRate"]["lastZone"], 36);
  EXPECT_EQ(j["transferRate"]["zoneSpeedsX"], json::array({22.0}));
}

TEST(JsonUnmeasured, LoadedRecordKeepsItsValues) {
  TestResults record;  // a loaded file's block, whatever its version bytes
  record.randomSeekMs = 85;
  const json j = report(record, RunOutcome::LoadedFromFile);
  EXPECT_EQ(j["seekMs"]["random"], 85);
  EXPECT_EQ(j["burstMBps"], 0);
}

}  // namespace
}  // namespace tmx::cli
