// The run's state shared by the sequencer (main thread) and its one running
// worker; each test keeps the counters of its phases with its handler. The
// worker writes its results before it notifies; the main thread reads them
// while handling that notification. Fields both sides touch are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "drive/drive_address.h"
#include "engine/engine_ids.h"

namespace tmx {

struct SequencerState {
  int runMode = RunAllSelected;
  int preparedTest = TestTransferRate;
  DriveAddress testDrive{};
  std::atomic<int> readMethod{ReadMethodRead10};
  std::atomic<bool> stopRequested{false};
  // Where the running worker reads; a read error names it.
  std::atomic<int32_t> currentLba{0};
  bool qualityCheckActive = false;
  // Why a worker sent EventWorkerFailed, or why a spin time was not
  // measured; written before that notification.
  std::string failureText;
  // Disc length of the run or the quality check: the last length the probe read.
  int32_t discSectors = 0;
};

}  // namespace tmx
