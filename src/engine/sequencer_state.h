// State shared by the sequencer (main thread) and its one running worker.
// The worker writes its results before it notifies; the main thread reads them
// while handling that notification. Fields both sides touch are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "drive/drive_address.h"
#include "engine/test_ids.h"

namespace tmx {

struct SequencerState {
  int runMode = RunAllSelected;
  int preparedTest = TestTransferRate;
  DriveAddress testDrive{};
  std::atomic<int> readMethod{ReadMethodRead10};
  std::atomic<bool> stopRequested{false};
  // Where the running worker reads; a read error names it.
  std::atomic<int32_t> currentLba{0};
  int32_t currentZone = -1;
  double zoneReads = 360.0;
  double zoneRateScale = 600.0;
  int seekPhase = 0;
  // The seek command the drive under test accepts (0Bh SEEK(6) or 2Bh
  // SEEK(10)), found before the first timed seek; 0 until then.
  uint8_t seekOpcode = 0;
  int cpuTestSpeed = 1;
  bool qualityCheckActive = false;
  // Set by the spin worker before it reports its second time.
  std::atomic<bool> spinPhaseDown{false};
  // Bytes with a C2 error bit in the quality block being read.
  std::atomic<int32_t> qualityBlockErrors{0};
  // Why a worker sent EventWorkerFailed, or why a spin time was not
  // measured; written before that notification.
  std::string failureText;
  // Disc length of the run or the quality check: the last length the probe read.
  int32_t discSectors = 0;
  // Milliseconds the CD quality check took from its first read.
  int32_t qualityElapsedMs = 0;
};

}  // namespace tmx
