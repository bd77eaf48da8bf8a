// The JSON report of texts that came from a drive or a file as raw bytes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/json_report.h"
#include "cli/save_errors.h"

namespace tmx::cli {
namespace {

TEST(JsonReport, BytesThatAreNotUtf8AreReplacedNotThrownOn) {
  TestResults record;
  resetRecord(record);
  DriveFacts drive;
  drive.vendor = "ACME\xFF\xFF";
  drive.product = "CD\x80ROM        ";
  drive.revision = "1.0\xE9";
  const std::vector<std::string> lines = {"[00:00:00]   DAT file (V\xFE\xFF) loaded"};
  std::string text;
  const RunReport report = makeRunReport(record, RunOutcome::LoadedFromFile);
  ASSERT_NO_THROW(text = formatJsonReport({report, lines, drive}));
  const auto parsed = nlohmann::json::parse(text);
  EXPECT_EQ(parsed["drive"]["vendor"], "ACME\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(parsed["drive"]["product"], "CD\xEF\xBF\xBDROM") << "the blanks that pad the field are gone";
  EXPECT_EQ(parsed["statusLines"][0], "[00:00:00]   DAT file (V\xEF\xBF\xBD\xEF\xBF\xBD) loaded");
}

TEST(SaveErrors, NameThePathAndAlwaysACause) {
  EXPECT_EQ(saveFailureText("/no/such/dir/run.json", ENOENT),
            "Error saving /no/such/dir/run.json\r\n\nNo such file or directory");
  EXPECT_EQ(saveFailureText("/tmp", EISDIR), "Error saving /tmp\r\n\nIs a directory");
  EXPECT_EQ(fileStatusText({"Error saving /x.dat", EFBIG}), "Error saving /x.dat\r\n\nFile too large");
  EXPECT_EQ(fileStatusText({"Error saving /x.dat\r\n\nAccess denied", EACCES}), "Error saving /x.dat\r\n\nAccess denied");
}

}  // namespace
}  // namespace tmx::cli
