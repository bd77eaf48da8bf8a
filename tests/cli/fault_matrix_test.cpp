// Every test and the CD quality check against every kind of fault, through
// the CLI binary in virtual time: a read error over the whole disc, a drive
// that stops answering, the disc removed during the test, a unit attention
// that comes once the measurement itself runs (after the drive preparation).
// Each run must end (no hang, no death by signal), abort with the failure
// named in the status lines, exit 1, and leave a valid JSON file and status
// log behind.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_process.h"

namespace tmx {
namespace {

using testing::CliCall;
using testing::CliRun;
using testing::CliSandbox;
using testing::slurpFile;

struct FaultCase {
  const char* name;
  std::vector<std::string> faults;
  const char* evidence;  // a status line the failure must leave
  bool inTheMeasurement;  // the failure comes after the test's "Starting" line
};

TEST(FaultMatrix, EveryTestAgainstEveryFault) {
  const std::vector<FaultCase> faults = {
      {"read error", {"read-error@0-450000"}, "(code 031100)", false},
      {"hang", {"hang@0B*all", "hang@2B*all", "hang@28*all", "hang@A8*all", "hang@BE*all", "hang@D8*all", "hang@1B*all"},
       "Drive did not answer within", false},
      {"removal", {"remove-after=5100ms"}, "(code 023A00)", false},
      // 400 commands: past the preparation's reads of every test, so a seek
      // test meets it in SEEK(6), which must not fall back to SEEK(10).
      {"unit attention", {"unit-attention-after=400"}, "(code 062800)", true},
  };
  CliSandbox box("fault-matrix");
  int passed = 0, total = 0;
  for (const char* test : {"transfer", "dae", "seek", "cpu", "burst", "spin", "quality"}) {
    for (const FaultCase& fault : faults) {
      std::filesystem::remove(box / "run.json");
      std::filesystem::remove(box / "status.txt");
      CliCall call({"--emulated-only", "--virtual-time", "--drive", "0", "--json", "run.json", "--save-status",
                    "status.txt"},
                   std::chrono::seconds(30));
      if (std::string(test) == "quality") {
        call.args.insert(call.args.end(), {"--quality-check", "--yes"});
      } else {
        call.args.insert(call.args.end(), {"--run", test});
      }
      for (const auto& f : fault.faults) {
        call.args.push_back("--fault");
        call.args.push_back(f);
      }
      const CliRun r = box.run(call);
      const std::string json = slurpFile(box / "run.json");
      const std::string status = slurpFile(box / "status.txt");
      const bool valid = nlohmann::json::accept(json);
      const std::string outcome = valid ? nlohmann::json::parse(json).value("outcome", "") : "(invalid JSON)";
      const size_t failure = r.out.find("Read error at ");
      const size_t started = r.out.find("   Starting ");
      const bool reached = !fault.inTheMeasurement || (started != std::string::npos && started < failure);
      const bool ok = !r.hung && r.signal == 0 && r.exitCode == 1 && outcome == "aborted" &&
                      failure != std::string::npos && reached &&
                      r.out.find(fault.evidence) != std::string::npos &&
                      status.find("Test aborted\r\n") != std::string::npos;
      EXPECT_TRUE(ok) << test << " x " << fault.name << ": exit " << r.exitCode << " signal " << r.signal
                      << (r.hung ? " HUNG" : "") << " outcome " << outcome << "\n"
                      << r.out << r.err;
      passed += ok;
      ++total;
    }
  }
  std::printf("fault matrix passed: %d / %d\n", passed, total);
}

}  // namespace
}  // namespace tmx
