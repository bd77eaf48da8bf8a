// User-defined emulated drives from JSON: what a good file builds and how a
// bad one is reported (file, line, problem).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "emulator/config.h"
#include "emulator/json_locations.h"
#include "emulator_host.h"

namespace tmx::emu {
namespace {

using testing::sendCdb;

constexpr std::string_view kGood = R"({
  "adapter": "MY BENCH",
  "drives": [
    { "target": 0, "preset": "cav52-audio74", "faults": ["read-error@1000"] },
    { "target": 2,
      "drive": { "vendor": "ACME", "product": "SLOWPOKE 4X", "rotation": "clv", "maxSpeed": 4,
                 "speeds": [1, 2], "accurateStream": false, "audioJitterFrames": 5, "reject": ["D8", "0b"] },
      "disc": { "content": "mixed", "minutes": 30, "tracks": 5,
                "damage": [{ "start": 1000, "length": 500, "density": 0.1 }] } },
    { "target": 3, "preset": "cav40-cdrw", "disc": { "atip": { "leadIn": "97:34:21" } } },
    { "target": 5, "preset": "cav52-audio74", "disc": null },
    { "target": 9, "disk": { "vendor": "ACME", "product": "HARD DISK" } }
  ]
})";

EmulatedConfig good() {
  auto parsed = parseEmulatedConfig(kGood, "bench.json");
  if (auto* e = std::get_if<std::string>(&parsed)) ADD_FAILURE() << *e;
  return std::holds_alternative<EmulatedConfig>(parsed) ? std::get<EmulatedConfig>(parsed) : EmulatedConfig{};
}

TEST(EmulatedConfig, BuildsTheDescribedDrives) {
  VirtualClock clock;
  auto adapter = buildAdapter(good(), clock);
  EXPECT_EQ(adapter->identifier(), "MY BENCH");
  const DriveModel* custom = adapter->drive(2);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(custom->profile().rotation, Rotation::Clv);
  EXPECT_EQ(custom->profile().speedSteps, (std::vector<int>{1, 2}));
  EXPECT_TRUE(custom->profile().rejectedOpcodes.test(0x0B));
  EXPECT_EQ(custom->disc()->capacity(), 30 * 4500);
  EXPECT_EQ(custom->disc()->tracks().size(), 5u);
  EXPECT_TRUE(custom->disc()->tracks()[0].data);
  EXPECT_EQ(sendCdb(*adapter, 0, testing::readCdda(990, 20), 20 * 2352).senseCode(), 0x031100u);
  EXPECT_EQ(sendCdb(*adapter, 5, {0x00, 0, 0, 0, 0, 0}, 0).senseCode(), 0x023A00u);
  const auto atip = sendCdb(*adapter, 3, {0x43, 0, 0x04, 0, 0, 0, 0, 0, 32, 0}, 32);
  EXPECT_EQ(atip.data[9], 34);
  EXPECT_EQ(atip.data[13], 45);  // the preset's lead-out kept
  EXPECT_EQ(sendCdb(*adapter, 9, {0x12, 0, 0, 0, 0x38, 0}, 56).data[0], 0x00);
  EXPECT_EQ(sendCdb(*adapter, 1, {0x12, 0, 0, 0, 0x38, 0}, 56).result.status, aspi::kNoDevice);
}

std::string errorOf(std::string_view text) {
  auto parsed = parseEmulatedConfig(text, "my.json");
  return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "(accepted)";
}

TEST(EmulatedConfig, BadFilesNameFileLineAndProblem) {
  EXPECT_EQ(errorOf("{\n  \"drives\": [\n    { \"target\": 0, \"preset\": \"cav52-audio74\" },\n"
                    "    { \"target\": 1, \"drive\": { \"rotation\": \"spiral\" } }\n  ]\n}"),
            "my.json:4: drives/1/drive/rotation: unknown value \"spiral\" (expected clv, cav, pcav, zclv)");
  EXPECT_EQ(errorOf("{ \"drives\": [\n { \"target\": 0 },\n { \"target\": 0 } ] }"),
            "my.json:3: drives/1/target: target 0 used twice");
  EXPECT_EQ(errorOf("{ \"drives\": [\n { \"target\": 0,\n   \"disc\": { \"minutes\": 120 } } ] }"),
            "my.json:3: drives/0/disc/minutes: value 120 out of range 1..99");
  EXPECT_EQ(errorOf("{ \"drives\": [\n { \"target\": 0,\n \"faults\": [\n \"hang@\" ] } ] }"),
            "my.json:4: drives/0/faults/0: bad fault \"hang@\": expected an opcode in hex, e.g. hang@28");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"colour\": 3 } ] }"),
            "my.json:2: drives/0/colour: unknown key \"colour\"");
  const std::string syntax = errorOf("{ \"drives\": [\n { \"target\": 0, }\n ] }");
  EXPECT_EQ(syntax.rfind("my.json:2: invalid JSON: ", 0), 0u) << syntax;
  EXPECT_EQ(errorOf("[]"), "my.json:1: top level: expected an object");
}

// Hostile files: every failure is "FILE:LINE: ..." and comes quickly.
TEST(EmulatedConfig, HostileFilesAreRefusedWithFileAndLine) {
  EXPECT_EQ(errorOf("{\"drives\":[\n{\"target\":1e400}]}"),
            "my.json:2: invalid JSON: number overflow parsing '1e400'");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"drive\": { \"speeds\": [4294967297] } } ] }"),
            "my.json:2: drives/0/drive/speeds/0: expected a whole speed in X, 1..72");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"drive\": { \"speeds\": [-4294967295] } } ] }"),
            "my.json:2: drives/0/drive/speeds/0: expected a whole speed in X, 1..72");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"faults\": [\"remove-after=99999999999s\"] } ] }"),
            "my.json:2: drives/0/faults/0: bad fault \"remove-after=99999999999s\": out of range 0..1000000 s");
  // Deep nesting would cost quadratic memory to locate lines: refused by depth.
  const std::string deep = "{\"drives\":[\n" + std::string(100000, '[') + std::string(100000, ']') + "]}";
  EXPECT_EQ(errorOf(deep), "my.json:2: nested deeper than 64 levels");
  const std::string deepInText = "{\"adapter\":\"" + std::string(100, '[') + "\",\"drives\":[]}";
  EXPECT_EQ(errorOf(deepInText), "my.json:1: adapter: longer than 16 characters") << "brackets in texts do not nest";
}

TEST(EmulatedConfig, OnlySmallRegularFilesAreRead) {
  const std::string dir = ::testing::TempDir() + "tmx-config-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const std::string fifo = dir + "/fifo.json", big = dir + "/big.json";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto loaded = loadEmulatedConfig(fifo);  // would block for ever on a plain open
  ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
  EXPECT_EQ(std::get<std::string>(loaded), fifo + ":1: not a regular file");
  EXPECT_EQ(errorOf("{ \"drives\": [ { \"target\": 0,\n \"disc\": { \"iso\": \"" + fifo + "\" } } ] }"),
            "my.json:2: drives/0/disc/iso: cannot open the image file " + fifo);
  std::ofstream(big) << "{\"drives\":[]" << std::string(2 << 20, ' ') << "}";
  loaded = loadEmulatedConfig(big);
  ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
  EXPECT_EQ(std::get<std::string>(loaded), big + ":1: larger than 1 MiB");
  std::filesystem::remove_all(dir);
}

TEST(EmulatedConfig, MissingFileIsReportedByName) {
  auto loaded = loadEmulatedConfig("/nonexistent/drives.json");
  ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
  EXPECT_EQ(std::get<std::string>(loaded),
            "/nonexistent/drives.json:1: cannot open the emulated drive configuration: No such file or directory");
}

TEST(EmulatedConfig, NumberTooLargeForAnyTypeIsAnErrorNotACrash) {
  // Found by fuzzing: the JSON library throws a different exception for it.
  auto parsed = parseEmulatedConfig("{\"adapter\": \"X\",\n \"drives\": [{\"target\": 1E400}]}", "big.json");
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  EXPECT_EQ(std::get<std::string>(parsed), "big.json:2: invalid JSON: number overflow parsing '1E400'");
}

TEST(JsonLines, LocatesMembersAndElementsThroughStringsWithBrackets) {
  const std::string_view text = "{\n \"a\": \"}],{\\\"\",\n \"b\": [\n  1,\n  {\"c/d\": 2}\n ]\n}";
  const auto lines = jsonLines(text);
  EXPECT_EQ(lines.at("/a"), 2);
  EXPECT_EQ(lines.at("/b"), 3);
  EXPECT_EQ(lines.at("/b/0"), 4);
  EXPECT_EQ(lines.at("/b/1"), 5);
  EXPECT_EQ(lines.at("/b/1/c~1d"), 5);
  EXPECT_EQ(lineOf(text, "/b/1/c~1d"), 5);
  EXPECT_EQ(lineOf(text, "/b/1/zzz"), 5);
  EXPECT_EQ(lineOf(text, "/b/0"), 4);
  EXPECT_EQ(lineOf(text, "/bb"), 1) << "a parent is a whole token, not a prefix";
}

}  // namespace
}  // namespace tmx::emu

namespace tmx::emu {
namespace {

TEST(EmulatedConfig, RippingTraitsFromTheRippingObject) {
  constexpr std::string_view text = R"({ "drives": [
    { "target": 0, "preset": "clv16-data74",
      "drive": { "ripping": { "cacheKiB": 0, "c2ShiftBytes": 2, "c2MissPercent": 10, "c2FalsePercent": 5,
                              "subReadCdMsf": "q", "readCdMsf": false, "leadInSectors": 12, "speedCap": 16,
                              "ignoresSpeed": false, "c2BlockErrorByte": false } } } ] })";
  auto parsed = parseEmulatedConfig(text, "rip.json");
  ASSERT_TRUE(std::holds_alternative<EmulatedConfig>(parsed)) << std::get<std::string>(parsed);
  VirtualClock clock;
  const RippingTraits& t = buildAdapter(std::get<EmulatedConfig>(parsed), clock)->drive(0)->profile().ripping;
  EXPECT_EQ(t.cacheBytes, 0u) << "the preset's cache turned off";
  EXPECT_EQ(t.cacheFlushSectors, 1000) << "the preset's value kept";
  EXPECT_EQ(t.c2ShiftBytes, 2);
  EXPECT_EQ(t.c2MissPercent, 10);
  EXPECT_EQ(t.c2FalsePercent, 5);
  EXPECT_EQ(t.subReadCdMsf, kSubFormattedQ);
  EXPECT_FALSE(t.readCdMsf);
  EXPECT_EQ(t.leadInSectors, 12);
  EXPECT_EQ(t.leadOutSectors, 100) << "the preset's value kept";
  EXPECT_EQ(t.speedCapX, 16);
  EXPECT_FALSE(t.c2BlockErrorByte);

  const auto bad = parseEmulatedConfig(R"({ "drives": [ { "target": 0, "drive": { "ripping": { "leadOutSectors": 101 } } } ] })",
                                       "rip.json");
  ASSERT_TRUE(std::holds_alternative<std::string>(bad));
  EXPECT_EQ(std::get<std::string>(bad), "rip.json:1: drives/0/drive/ripping/leadOutSectors: value 101 out of range 0..100");
  const auto sub = parseEmulatedConfig(R"({ "drives": [ { "target": 0, "drive": { "ripping": { "subReadCd": "rw" } } } ] })",
                                       "rip.json");
  EXPECT_NE(std::get<std::string>(sub).find("unknown value \"rw\" (expected none, raw, q, raw+q)"), std::string::npos);
}

}  // namespace
}  // namespace tmx::emu
