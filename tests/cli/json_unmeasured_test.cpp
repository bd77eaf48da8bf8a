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

// A DVD run says its medium and its units; its zones carry their LBAs.
TEST(JsonReport, ADvdRunInItsOwnUnits) {
  TestResults record;
  resetRecord(record);
  record.discType = 0;
  record.discLength = 2'295'104;
  record.media.medium = {MediumKind::DVD, 0x0010, "DVD-ROM", 1, false, 2'295'104, std::nullopt};
  record.media.plannedZones = 3;
  record.media.zones = {{0, 6.9}, {65'536, 7.4}, {131'072, 7.9}};
  json j = report(record, RunOutcome::Completed);
  EXPECT_EQ(j["disc"]["medium"], "DVD");
  EXPECT_EQ(j["disc"]["profile"], "DVD-ROM");
  EXPECT_EQ(j["disc"]["layers"], 1);
  EXPECT_EQ(j["disc"]["lengthSectors"], 2'295'104);
  EXPECT_EQ(j["transferRate"]["oneXBytesPerSecond"], 1'385'000);
  EXPECT_EQ(j["transferRate"]["zoneStartLbas"], json::array({0, 65'536, 131'072}));
  EXPECT_EQ(j["transferRate"]["zoneSpeedsX"], json::array({6.9, 7.4, 7.9}));
  EXPECT_EQ(j["transferRate"]["start"], "6.90x");
  EXPECT_EQ(j["transferRate"]["end"], "7.90x");
  EXPECT_EQ(j["transferRate"]["readingType"], "CAV");

  record.media.scan.blocksRead = 5;
  record.media.scan.latencyBuckets = {3, 1, 1, 0, 0, 0};
  record.media.scan.unreadableSectors = 16;
  record.media.scan.failedBlocks = {{96, 16, 3, false}};
  j = report(record, RunOutcome::Completed, true);
  EXPECT_EQ(j["qualityCheck"]["unreadableSectors"], 16);
  EXPECT_EQ(j["qualityCheck"]["latencyBucketsMs"]["<3"], 3);
  EXPECT_EQ(j["qualityCheck"]["latencyBucketsMs"][">=500"], 0);
  EXPECT_EQ(j["qualityCheck"]["failedBlocks"][0]["retries"], 3);

  // A CD run says it is one.
  TestResults cd;
  resetRecord(cd);
  j = report(cd, RunOutcome::Completed);
  EXPECT_EQ(j["disc"]["medium"], "CD");
  EXPECT_EQ(j["transferRate"]["oneXBytesPerSecond"], 153'600);
}

}  // namespace
}  // namespace tmx::cli
