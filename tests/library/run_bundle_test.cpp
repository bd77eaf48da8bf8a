#include "library/run_bundle.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "library/results_library.h"
#include "library/run_csv.h"
#include "library/sample_runs.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

using nlohmann::json;
using testing::expectSameRun;
using testing::sampleCdRun;
using testing::sampleDvdScan;

std::vector<StoredRun> samples() {
  return {sampleCdRun(), sampleDvdScan(), sampleCdRun(RunOutcome::Cancelled, "2026-12-07T10:00:00Z")};
}

TEST(RunBundle, ReadsBackWhatItWroteFieldByField) {
  const auto runs = samples();
  const BundleRead back = readBundle(bundleText(runs));
  ASSERT_EQ(back.error, "");
  ASSERT_EQ(back.runs.size(), runs.size());
  for (size_t i = 0; i < runs.size(); ++i) expectSameRun(runs[i], back.runs[i]);
}

TEST(RunBundle, DescribesItselfAndWritesNotMeasuredAsNull) {
  const json doc = json::parse(bundleText(samples()));
  EXPECT_EQ(doc["format"], "tachometrix-runs");
  EXPECT_EQ(doc["version"], 1);
  EXPECT_EQ(doc["units"]["randomSeekMs"], "ms");
  const json& record = doc["runs"][0]["record"];
  EXPECT_EQ(record["formatVersion"], "302e364200ffffff");  // "0.6B", NUL, the reset's FFh
  EXPECT_EQ(record["randomSeekMs"], 85);
  EXPECT_TRUE(record["cpuUsagePercent"][3].is_null());
  EXPECT_TRUE(record["spinDownSeconds"].is_null());
  EXPECT_EQ(record["speedSamples"][37], -1.0);  // the list's end
  EXPECT_TRUE(doc["runs"][1]["record"]["speedSamples"][7].is_null());  // never set since the reset
  EXPECT_EQ(doc["runs"][0]["optionWords"][0], 0x01908379);
  EXPECT_EQ(doc["runs"][1]["record"]["medium"]["zones"][1]["startLba"], 262144);
}

// Each bad bundle and the message that names its field.
struct BadCase {
  const char* pointer;
  json value;
  const char* message;
};

class BadBundle : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadBundle, IsRefusedNamingTheField) {
  json doc = json::parse(bundleText(samples()));
  if (GetParam().value.is_discarded()) {
    doc.erase(json::json_pointer(GetParam().pointer).back());  // only top-level keys are erased here
  } else {
    doc[json::json_pointer(GetParam().pointer)] = GetParam().value;
  }
  const BundleRead read = readBundle(doc.dump());
  EXPECT_EQ(read.error, GetParam().message);
  EXPECT_TRUE(read.runs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadBundle,
    ::testing::Values(
        BadCase{"/runs/2/record/speedSamples/4", "fast", "runs[2].record.speedSamples[4]: not a number"},
        BadCase{"/runs/0/record/daeScore", 11, "runs[0].record.daeScore: 11 out of range (0..10)"},
        BadCase{"/runs/1/record/qualityMap", json::array({1, 2}), "runs[1].record.qualityMap: 2 items, 500 expected"},
        BadCase{"/runs/1/drive/vendor", std::string(300, 'A'), "runs[1].drive.vendor: longer than 256 characters"},
        BadCase{"/runs/0/utcTime", "yesterday", "runs[0].utcTime: not a time like 2026-12-09T06:14:26Z"},
        BadCase{"/runs/0/outcome", "not started", "runs[0].outcome: not a run's outcome"},
        BadCase{"/runs/1/record/medium/scan/map/3", 9, "runs[1].record.medium.scan.map[3]: 9 out of range (-1..6)"},
        BadCase{"/runs/1/record/medium/zones/0/startLba", -5,
                "runs[1].record.medium.zones[0].startLba: -5 out of range (0..9223372036854775807)"},
        BadCase{"/runs/2/statusLines/1", 5, "runs[2].statusLines[1]: not a string"},
        BadCase{"/runs/0/record/formatVersion", "0.6B", "runs[0].record.formatVersion: not 16 hex digits"},
        BadCase{"/runs/0/drive/emulated", "yes", "runs[0].drive.emulated: not true or false"},
        BadCase{"/runs/0/optionWords/2", 4294967296LL, "runs[0].optionWords[2]: 4294967296 out of range (0..4294967295)"},
        BadCase{"/version", 2, "version: 2 is newer than this program reads (1)"},
        BadCase{"/format", "other", "format: not \"tachometrix-runs\""},
        BadCase{"/runs", json::value_t::discarded, "runs: missing"}));

TEST(RunBundle, RefusesWhatIsNoBundle) {
  EXPECT_EQ(readBundle("{\"runs\": [").error, "not a JSON document");
  EXPECT_EQ(readBundle("[1]").error, "not a bundle of runs: the document is no JSON object");
  json doc = json::parse(bundleText(samples()));
  doc["runs"][1].erase("record");
  EXPECT_EQ(readBundle(doc.dump()).error, "runs[1].record: missing");
}

TEST(RunBundle, ExportedLibraryImportsIntoAnotherEqualFieldByField) {
  testing::ScratchDir dir;
  auto first = ResultsLibrary::open(dir / "a.sqlite");
  const auto runs = samples();
  ASSERT_TRUE(first.recordAll(runs));
  const auto ids = first.allIds();
  const auto exported = first.loadAll(*ids.value);
  const BundleRead read = readBundle(bundleText(*exported.value));
  ASSERT_EQ(read.error, "");
  auto second = ResultsLibrary::open(dir / "b.sqlite");
  ASSERT_TRUE(second.recordAll(read.runs));
  const auto again = second.loadAll(*second.allIds().value);
  ASSERT_EQ(again.value->size(), runs.size());
  for (size_t i = 0; i < runs.size(); ++i) expectSameRun((*exported.value)[i], (*again.value)[i]);
}

TEST(RunsCsv, OneRowPerRunWithUnitsInTheHeaderAndQuotedFields) {
  StoredRun run = sampleCdRun();
  run.summary.id = 4;
  run.summary.drive = "ABC \"Fast\", 40X";
  run.record.cpuUsage = {3, -1, -1, -1};
  const std::vector<StoredRun> runs = {run};
  const std::string csv = runsCsv(runs);
  const std::string header = csv.substr(0, csv.find("\r\n"));
  EXPECT_EQ(header,
            "id,utc_time,kind,outcome,drive,serial,emulated,disc,medium,profile,disc_type,disc_length (sectors),"
            "program_version,average (X),start (X),end (X),reading_type,random_seek (ms),one_third_seek (ms),"
            "full_seek (ms),dae_score (0-10),accurate_stream,cpu_at_1x (%),cpu_at_2x (%),cpu_at_4x (%),cpu_at_8x (%),"
            "burst (MB/s),spin_up (s),spin_down (s),c2_errors,scan_blocks_read,scan_unreadable (sectors)");
  EXPECT_EQ(csv.substr(header.size() + 2),
            "4,2026-12-09T06:14:26Z,run,completed,\"ABC \"\"Fast\"\", 40X\",SN-0042,yes,CD audio 74:00.00,CD,CD-ROM,1,"
            "333000,0.1.0,25.000,16.000,34.000,CAV,85,120,170,9,yes,3,,,,12,1.750,,,,\r\n");
}

}  // namespace
}  // namespace tmx
