// Chooses the read command for the disc in the selected drive: the first of
// the data or audio commands that reads one block. A stop request ends the
// probe before its next command: on a drive that hangs, each one waits for
// the command timeout.
#include <vector>

#include "engine/engine_ids.h"
#include "engine/run_sequencer.h"

namespace tmx {

void TestSequencer::probeReadMethod(int32_t lba) {
  const DriveAddress drive = deps_.drives.selectedDrive();
  DriveCommands& c = deps_.commands;
  std::vector<uint8_t> buffer(kBlockAudio);
  const uint32_t at = static_cast<uint32_t>(lba);
  const auto stopped = [this] { return state_.stopRequested.load(); };
  state_.readMethod = ReadMethodRead10;
  if (stopped()) return;
  // DriveCommands::Seek, with the stop checked between its two commands.
  if (c.Seek6(drive, 0) != kAspiSuccess && c.transport().lastFailure().refused && !stopped()) c.Seek10(drive, 0);
  if (stopped()) return;
  if (deps_.probe.classifyDisc(drive) == kDiscData) {
    if (stopped()) return;
    if (c.Read10(drive, at, 1, buffer.data()) == kAspiSuccess) {
      state_.readMethod = ReadMethodRead10;
    } else if (stopped()) {
      return;
    } else if (c.Read12(drive, at, 1, buffer.data()) == kAspiSuccess) {
      state_.readMethod = ReadMethodRead12;
    } else if (stopped()) {
      return;
    } else if (c.ReadCd(drive, 0x10, at, 1, kBlockData, buffer.data()) == kAspiSuccess) {
      state_.readMethod = ReadMethodCdData;
    }
    return;
  }
  if (stopped()) return;
  if (c.ReadCdAudio(drive, at, 1, buffer.data()) == kAspiSuccess) {
    state_.readMethod = ReadMethodCdAudio;
    return;
  }
  if (stopped()) return;
  if (c.ReadCdda(drive, at, 1, buffer.data()) == kAspiSuccess) {
    state_.readMethod = ReadMethodCdda;
    return;
  }
  if (stopped()) return;
  c.ModeSelectBlockMode(drive, BlockModeAudio);
  // Once in audio block mode the drive is put back whatever happens.
  if (!stopped() && c.Read10Sized(drive, at, 1, kBlockAudio, buffer.data()) == kAspiSuccess) {
    state_.readMethod = ReadMethodRead10Raw;
    return;
  }
  c.ModeSelectBlockMode(drive, BlockModeData);
  state_.readMethod = ReadMethodCdAudio;
}

}  // namespace tmx
