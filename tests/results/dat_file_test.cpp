// The DAT file: name, byte image, save and load through real files.
#include "results/dat_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <climits>
#include <cstring>

#include "platform/clock.h"
#include "results/crc_checksum.h"
#include "results/plausible_values.h"
#include "results/status_log.h"
#include "scratch_dir.h"

namespace tmx {
namespace {

using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;

DriveFacts drive(int status = 1, int speed = 7056) {
  return {"ABC     ", "CDROM 40X       ", "1.0a", status, speed};
}

// A run that measured only the transfer rate of a 20-zone disc.
TestResults transferOnlyRun() {
  TestResults r;
  resetRecord(r);
  r.discLength = 180000;
  r.discType = 1;
  for (int i = 0; i < 20; ++i) r.speedSamples[i] = 100.0 + 5 * i;
  r.speedSamples[20] = -1.0;
  r.lastZone = 19;
  return r;
}

uint32_t le32(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
  return v;
}

TEST(ProposedFileName, ReplacesBlanksAndForbiddenCharacters) {
  EXPECT_EQ(proposedFileName(drive(), ".dat"), "ABC_____CDROM_40X________V1.0a.dat");
  DriveFacts odd{"A/B\\C?D*", std::string("E<F>G|H:I\0J", 11), "1 2", 1, 0};
  EXPECT_EQ(proposedFileName(odd, ".txt"), "A_B_C_D_E_F_G_H_I_J_V1_2.txt");
}

TEST(SaveDatFile, WritesBlockZerosAndChecksum) {
  ScratchDir dir;
  TestResults r = transferOnlyRun();
  ASSERT_TRUE(saveDatFile(dir / "run.dat", r, drive()).ok());
  const std::string bytes = readFile(dir / "run.dat");

  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("0.6B\0\xFF\xFF\xFF", 8));
  EXPECT_EQ(le32(bytes, 8), 180000u);
  for (size_t offset = 416; offset < 456; offset += 4) EXPECT_EQ(le32(bytes, offset), 0xFFFFFFFFu) << offset;
  EXPECT_EQ(le32(bytes, 456), 7056u);
  EXPECT_EQ(r.readSpeed, 7056);
  EXPECT_EQ(bytes.substr(464, 556), std::string(556, '\0'));
  const auto* block = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(le32(bytes, 1020), crcChecksum({block, 464}));
}

TEST(SaveDatFile, OfARunWithoutTestsKeepsTheResetPattern) {
  ScratchDir dir;
  TestResults r;
  resetRecord(r);
  ASSERT_TRUE(saveDatFile(dir / "empty.dat", r, drive(4, 1234)).ok());  // mode sense failed
  const std::string bytes = readFile(dir / "empty.dat");
  for (size_t i = 5; i < 464; ++i) {
    if (i >= 8 && i < 416) continue;  // discLength and discType hold -1 too, checked below
    EXPECT_EQ(static_cast<uint8_t>(bytes[i]), 0xFF) << i;
  }
  EXPECT_EQ(bytes.substr(16, 400), std::string(400, '\xFF'));
  EXPECT_EQ(le32(bytes, 456), 0xFFFFFFFFu);  // -1: the failed reply is not trusted
}

TEST(DatFile, SaveLoadSaveGivesIdenticalBytes) {
  ScratchDir dir;
  TestResults r = transferOnlyRun();
  r.cpuUsage = {1, 2, 3, 4};
  r.reserved = {1, 2, 3, 4};
  std::memcpy(r.formatVersion.data(), "0.5A\0\x01\x02\x03", 8);  // travels with the data
  ASSERT_TRUE(saveDatFile(dir / "a.dat", r, drive()).ok());

  ResultsModel model;
  model.record.spinUpTime = 1.25;  // live member: stays
  int notified = 0;
  model.setObserver([&] { ++notified; });
  RecordingStatusSink status;
  ASSERT_TRUE(loadDatFile(dir / "a.dat", model, status).ok());
  ASSERT_TRUE(saveDatFile(dir / "b.dat", model.record, drive()).ok());
  EXPECT_EQ(readFile(dir / "a.dat"), readFile(dir / "b.dat"));
  EXPECT_EQ(status.lines, (std::vector<std::string>{"DAT file (V0.5A) loaded", "Warning: unknown DAT file version V0.5A"}));
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(model.record.spinUpTime, 1.25);
  EXPECT_EQ(model.texts.startText, "20.00x");
  EXPECT_EQ(model.texts.endText, "39.00x");  // zone 19 of a 20-zone disc
}

TEST(LoadDatFile, LoadsAReadOnlyFile) {
  ScratchDir dir;
  TestResults saved = transferOnlyRun();
  ASSERT_TRUE(saveDatFile(dir / "ro.dat", saved, drive()).ok());
  ASSERT_EQ(::chmod((dir / "ro.dat").c_str(), 0444), 0);
  ResultsModel model;
  RecordingStatusSink status;
  EXPECT_TRUE(loadDatFile(dir / "ro.dat", model, status).ok());
  EXPECT_EQ(model.record.discLength, 180000);
}

TEST(LoadDatFile, ReportsOpenFailuresAndChangesNothing) {
  ScratchDir dir;
  ResultsModel model;
  resetRecord(model.record);
  RecordingStatusSink status;
  const FileStatus missing = loadDatFile(dir / "none.dat", model, status);
  EXPECT_EQ(missing.error, "Error opening " + (dir / "none.dat").string() + "\r\n\nNo such file or directory");
  const FileStatus folder = loadDatFile(dir.path(), model, status);
  EXPECT_EQ(folder.error, "Error opening " + dir.path().string());
  // A FIFO with no writer would block the open for ever: refused at once.
  ASSERT_EQ(::mkfifo((dir / "pipe.dat").c_str(), 0600), 0);
  EXPECT_EQ(loadDatFile(dir / "pipe.dat", model, status).error,
            "Error opening " + (dir / "pipe.dat").string() + "\r\n\nNot a regular file");
  EXPECT_EQ(loadDatFile("/dev/null", model, status).error, "Error opening /dev/null\r\n\nNot a regular file");
  EXPECT_TRUE(status.lines.empty());
  EXPECT_EQ(model.record.discLength, -1);
}

TEST(LoadDatFile, ShortFileOverwritesOnlyItsLeadingBytesAndWarns) {
  ScratchDir dir;
  ResultsModel model;
  resetRecord(model.record);
  model.record.burstRate = 33;
  // Version and discLength only: 12 bytes.
  writeFile(dir / "short.dat", std::string("0.7\0\0\0\0\0\x10\x27\0\0", 12));
  RecordingStatusSink status;
  ASSERT_TRUE(loadDatFile(dir / "short.dat", model, status).ok());
  EXPECT_EQ(model.record.discLength, 10000);
  EXPECT_EQ(model.record.discType, -1);
  EXPECT_EQ(model.record.burstRate, 33);
  ASSERT_EQ(status.lines.size(), 3u);
  EXPECT_EQ(status.lines[0], "DAT file (V0.7) loaded");
  EXPECT_EQ(status.lines[1], "Warning: unknown DAT file version V0.7");
  EXPECT_EQ(status.lines[2], "Warning: the DAT file is incomplete (12 of 1024 bytes) and may be damaged");

  writeFile(dir / "empty.dat", "");
  ASSERT_TRUE(loadDatFile(dir / "empty.dat", model, status).ok());
  EXPECT_EQ(model.record.discLength, 10000);
}

TEST(LoadDatFile, WarnsOfACorruptBlockAndIgnoresBytesPastTheChecksum) {
  ScratchDir dir;
  TestResults saved = transferOnlyRun();
  ASSERT_TRUE(saveDatFile(dir / "run.dat", saved, drive()).ok());
  std::string bytes = readFile(dir / "run.dat");

  writeFile(dir / "long.dat", bytes + std::string(5000, '\x55'));
  ResultsModel model;
  RecordingStatusSink status;
  ASSERT_TRUE(loadDatFile(dir / "long.dat", model, status).ok());
  EXPECT_EQ(status.lines.size(), 1u);

  bytes[100] ^= 0x40;  // a flipped bit in sample 10
  writeFile(dir / "bad.dat", bytes);
  ASSERT_TRUE(loadDatFile(dir / "bad.dat", model, status).ok());
  ASSERT_EQ(status.lines.size(), 3u);
  EXPECT_EQ(status.lines[2], "Warning: DAT file checksum mismatch, the file may be damaged");
  EXPECT_EQ(model.texts.startText, "20.00x");  // the data is shown all the same
}

// A file of another program, or one made by hand: loaded, with a line for the
// version this program does not write and one for values no drive produces,
// which show as not measured; an ESC in the version reaches no saved file.
TEST(LoadDatFile, UnknownVersionAndImpossibleValuesAreSaidAndNotShownAsMeasured) {
  ScratchDir dir;
  TestResults saved = transferOnlyRun();
  saved.randomSeekMs = 85;
  saved.burstRate = 25;
  ASSERT_TRUE(saveDatFile(dir / "run.dat", saved, drive()).ok());
  std::string bytes = readFile(dir / "run.dat");
  std::memcpy(bytes.data(), "0.5B\x1b[31", 8);
  const int32_t negative = -5, lowest = INT32_MIN;
  const double huge = 1.7e308;
  std::memcpy(bytes.data() + 8, &negative, 4);
  std::memcpy(bytes.data() + 16, &huge, 8);
  std::memcpy(bytes.data() + 440, &lowest, 4);
  writeFile(dir / "odd.dat", bytes);

  ResultsModel model;
  VirtualClock clock;
  StatusLog status(clock);
  ASSERT_TRUE(loadDatFile(dir / "odd.dat", model, status).ok());
  const auto& lines = status.lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[1].ends_with("Warning: unknown DAT file version V0.5B\xEF\xBF\xBD[31")) << lines[1];
  EXPECT_TRUE(lines[2].ends_with("Warning: the DAT file holds 3 impossible values, shown as not measured"));
  EXPECT_EQ(model.texts.lengthText, "") << "before: 0:00.-5";
  EXPECT_EQ(model.texts.startText, "") << "before: a 309-digit speed";
  EXPECT_EQ(model.texts.averageText, "");
  EXPECT_EQ(model.texts.randomSeekText, "") << "before: -2147483648 ms";
  EXPECT_EQ(model.texts.burstText, "25 MB/s") << "what is in range still shows";
  ASSERT_TRUE(saveStatusLog(dir / "status.txt", lines).ok());
  EXPECT_EQ(readFile(dir / "status.txt").find('\x1b'), std::string::npos);

  std::memcpy(bytes.data(), "\0\0\0\0\0\0\0\0", 8);
  writeFile(dir / "none.dat", bytes);
  RecordingStatusSink recorded;
  ASSERT_TRUE(loadDatFile(dir / "none.dat", model, recorded).ok());
  EXPECT_EQ(recorded.lines[1], "Warning: the DAT file names no format version");

  // The bounds themselves are measurements; one step beyond is not.
  TestResults r = transferOnlyRun();
  r.speedSamples[0] = kMaxSpeedSample;
  r.discLength = kMaxDiscSectors;
  r.cpuUsage = {0, 100, -1, 101};
  r.daeScore = 10;
  r.accurateStream = 2;
  r.burstRate = kMaxBurstMBps + 1;
  r.speedSamples[3] = -0.5;
  EXPECT_EQ(clearImpossibleValues(r), 4);
  EXPECT_EQ(r.speedSamples[0], kMaxSpeedSample);
  EXPECT_EQ(r.speedSamples[3], -1.0) << "ends the measured list";
  EXPECT_EQ(r.cpuUsage, (std::array<int32_t, 4>{0, 100, -1, -1}));
  EXPECT_EQ(r.accurateStream, -1);
  EXPECT_EQ(clearImpossibleValues(r), 0);
}

// The layout holds a CD's zones only: a DVD run would load back wrong.
TEST(SaveDatFile, RefusesADvdRunAndSaysWhy) {
  ScratchDir dir;
  TestResults r = transferOnlyRun();
  r.media.medium = {MediumKind::DVD, 0x0010, "DVD-ROM", 1, false, 2'295'104, std::nullopt};
  const FileStatus status = saveDatFile(dir / "run.dat", r, drive());
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.error, "DAT files hold CD results; save as JSON or as a report");
  EXPECT_FALSE(std::filesystem::exists(dir / "run.dat"));
}

TEST(SaveDatFile, FailureLeavesTheOldFileIntact) {
  ScratchDir dir;
  const std::string old(1024, 'o');
  writeFile(dir / "keep.dat", old);
  TestResults r = transferOnlyRun();

  // Writes past 100 bytes fail (EFBIG) instead of raising SIGXFSZ.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const FileStatus result = saveDatFile(dir / "keep.dat", r, drive());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_EQ(result.error, "Error saving " + (dir / "keep.dat").string());
  EXPECT_EQ(readFile(dir / "keep.dat"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left

  EXPECT_EQ(saveDatFile(dir / "no" / "such.dat", r, drive()).error,
            "Error saving " + (dir / "no" / "such.dat").string() + "\r\n\nNo such file or directory");
}

}  // namespace
}  // namespace tmx
