// Stored runs with distinct values in every field, and a field-by-field
// comparison, for the library's and the bundle's tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/stored_run.h"
#include "results/persisted_block.h"

namespace tmx::testing {

inline StoredRun sampleCdRun(RunOutcome outcome = RunOutcome::Completed, const std::string& time = "2026-12-09T06:14:26Z") {
  StoredRun run;
  run.summary = {0, time, StoredRunKind::Run, "ABC CDROM 40X 1.0a", "CD audio 74:00.00", 31.5, 85, 120, 170, 9, 12,
                 outcome};
  run.drive = {"ABC", "CDROM 40X", "1.0a", "SN-0042", "sg0 on host 3", "sr_mod", true};
  run.disc = {"CD", "CD-ROM", 1, 333000, "0a1b2c3d", ""};
  run.optionWords = {0x01908379, 0x0000FFFF, 0x0000FF00};
  run.programVersion = "0.1.0";
  TestResults& r = run.record;
  resetRecord(r);
  r.discLength = 333000;
  r.discType = 1;
  clearSpeedSamples(r);
  for (int z = 0; z < 37; ++z) storeSpeedSample(r, z, 80.0 + z * 2.5);
  r.lastZone = 36;
  r.daeScore = 9;
  r.accurateStream = 1;
  r.cpuUsage = {3, 5, 9, -1};
  r.randomSeekMs = 85;
  r.oneThirdSeekMs = 120;
  r.fullSeekMs = 170;
  r.burstRate = 12;
  r.readSpeed = 7056;
  r.spinUpTime = 1.75;
  r.spinDownTime = -1.0;
  r.daeErrors = 4;
  r.qualityErrors = 7;
  r.qualityMap[3] = 2;
  r.qualityMap[499] = 0;
  run.statusLines = {"[06:14:01]   Run started", "[06:14:26]   Run, \"completed\""};
  run.driveCheck = {"Vendor  : ABC", "Product : CDROM 40X"};
  return run;
}

inline StoredRun sampleDvdScan() {
  StoredRun run;
  run.summary = {0, "2026-12-08T22:00:00Z", StoredRunKind::QualityCheck, "XYZ DVDRW 16X 2.00", "DVD+R DL 8.55 GB",
                 std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                 RunOutcome::Aborted};
  run.drive = {"XYZ", "DVDRW 16X", "2.00", "", "", "", false};
  run.disc = {"DVD", "DVD+R DL", 0, 4173824, "", "MKM-003-00"};
  run.optionWords = {1, 2, 3};
  run.programVersion = "0.1.0";
  TestResults& r = run.record;
  resetRecord(r);
  r.media.medium = {MediumKind::DVD, 0x002B, "DVD+R DL", 2, true, 4'173'824, 2'086'912};
  r.media.maxReadSpeedX = 12.0;
  r.media.zones = {{0, 4.5}, {262144, 6.25}, {524288, 8.0}};
  r.media.plannedZones = 16;
  r.media.scan.blocksRead = 9000;
  r.media.scan.latencyBuckets = {8000, 900, 60, 30, 9, 1};
  r.media.scan.failedBlocks = {{123456, 16, 3, true}, {2000000, 32, 5, false}};
  r.media.scan.unreadableSectors = 32;
  r.media.scan.map[0] = 0;
  r.media.scan.map[200] = 6;
  r.media.scan.elapsedMs = 65432;
  run.statusLines = {"[22:00:00]   Read scan aborted"};
  return run;
}

inline void expectSameDriveAndDisc(const StoredDrive& a, const StoredDisc& x, const StoredDrive& b,
                                   const StoredDisc& y) {
  EXPECT_EQ(a.vendor, b.vendor);
  EXPECT_EQ(a.product, b.product);
  EXPECT_EQ(a.revision, b.revision);
  EXPECT_EQ(a.serial, b.serial);
  EXPECT_EQ(a.controller, b.controller);
  EXPECT_EQ(a.driver, b.driver);
  EXPECT_EQ(a.emulated, b.emulated);
  EXPECT_EQ(x.medium, y.medium);
  EXPECT_EQ(x.profile, y.profile);
  EXPECT_EQ(x.type, y.type);
  EXPECT_EQ(x.lengthSectors, y.lengthSectors);
  EXPECT_EQ(x.tocDigest, y.tocDigest);
  EXPECT_EQ(x.manufacturer, y.manufacturer);
}

// Every field but the id, which the library gives.
inline void expectSameRun(const StoredRun& a, const StoredRun& b) {
  EXPECT_EQ(a.summary.utcTime, b.summary.utcTime);
  EXPECT_EQ(a.summary.kind, b.summary.kind);
  EXPECT_EQ(a.summary.drive, b.summary.drive);
  EXPECT_EQ(a.summary.disc, b.summary.disc);
  EXPECT_EQ(a.summary.outcome, b.summary.outcome);
  expectSameDriveAndDisc(a.drive, a.disc, b.drive, b.disc);
  EXPECT_EQ(a.optionWords, b.optionWords);
  EXPECT_EQ(a.programVersion, b.programVersion);
  EXPECT_EQ(a.statusLines, b.statusLines);
  EXPECT_EQ(a.driveCheck, b.driveCheck);
  const TestResults& x = a.record;
  const TestResults& y = b.record;
  EXPECT_EQ(encodePersistedBlock(x), encodePersistedBlock(y));  // NaN samples too, bit for bit
  EXPECT_EQ(x.spinUpTime, y.spinUpTime);
  EXPECT_EQ(x.spinDownTime, y.spinDownTime);
  EXPECT_EQ(x.daeErrors, y.daeErrors);
  EXPECT_EQ(x.qualityMap, y.qualityMap);
  EXPECT_EQ(x.qualityErrors, y.qualityErrors);
  EXPECT_EQ(x.lastZone, y.lastZone);
  const MediumResults& m = x.media;
  const MediumResults& n = y.media;
  EXPECT_EQ(m.medium.kind, n.medium.kind);
  EXPECT_EQ(m.medium.profile, n.medium.profile);
  EXPECT_EQ(m.medium.profileName, n.medium.profileName);
  EXPECT_EQ(m.medium.layers, n.medium.layers);
  EXPECT_EQ(m.medium.oppositeTrackPath, n.medium.oppositeTrackPath);
  EXPECT_EQ(m.medium.capacitySectors, n.medium.capacitySectors);
  EXPECT_EQ(m.medium.layerBreakLba, n.medium.layerBreakLba);
  EXPECT_EQ(m.maxReadSpeedX, n.maxReadSpeedX);
  EXPECT_EQ(m.plannedZones, n.plannedZones);
  ASSERT_EQ(m.zones.size(), n.zones.size());
  for (size_t i = 0; i < m.zones.size(); ++i) {
    EXPECT_EQ(m.zones[i].startLba, n.zones[i].startLba);
    EXPECT_EQ(m.zones[i].speedX, n.zones[i].speedX);
  }
  EXPECT_EQ(m.scan.blocksRead, n.scan.blocksRead);
  EXPECT_EQ(m.scan.latencyBuckets, n.scan.latencyBuckets);
  ASSERT_EQ(m.scan.failedBlocks.size(), n.scan.failedBlocks.size());
  for (size_t i = 0; i < m.scan.failedBlocks.size(); ++i) {
    EXPECT_EQ(m.scan.failedBlocks[i].lba, n.scan.failedBlocks[i].lba);
    EXPECT_EQ(m.scan.failedBlocks[i].sectors, n.scan.failedBlocks[i].sectors);
    EXPECT_EQ(m.scan.failedBlocks[i].retries, n.scan.failedBlocks[i].retries);
    EXPECT_EQ(m.scan.failedBlocks[i].recovered, n.scan.failedBlocks[i].recovered);
  }
  EXPECT_EQ(m.scan.unreadableSectors, n.scan.unreadableSectors);
  EXPECT_EQ(m.scan.map, n.scan.map);
  EXPECT_EQ(m.scan.elapsedMs, n.scan.elapsedMs);
}

}  // namespace tmx::testing
