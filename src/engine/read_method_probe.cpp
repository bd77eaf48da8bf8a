// Chooses the read command for the disc in the selected drive: the first of
// the data or audio commands that reads one block.
#include <vector>

#include "engine/test_ids.h"
#include "engine/test_sequencer.h"

namespace tmx {

void TestSequencer::probeReadMethod(int32_t lba) {
  const DriveAddress drive = deps_.drives.selectedDrive();
  DriveCommands& c = deps_.commands;
  std::vector<uint8_t> buffer(kBlockAudio);
  const uint32_t at = static_cast<uint32_t>(lba);
  c.Seek(drive, 0);
  state_.readMethod = ReadMethodRead10;
  if (deps_.probe.classifyDisc(drive) == kDiscData) {
    if (c.Read10(drive, at, 1, buffer.data()) == kAspiSuccess) {
      state_.readMethod = ReadMethodRead10;
    } else if (c.Read12(drive, at, 1, buffer.data()) == kAspiSuccess) {
      state_.readMethod = ReadMethodRead12;
    } else if (c.ReadCd(drive, 0x10, at, 1, kBlockData, buffer.data()) == kAspiSuccess) {
      state_.readMethod = ReadMethodCdData;
    }
    return;
  }
  if (c.ReadCdAudio(drive, at, 1, buffer.data()) == kAspiSuccess) {
    state_.readMethod = ReadMethodCdAudio;
    return;
  }
  if (c.ReadCdda(drive, at, 1, buffer.data()) == kAspiSuccess) {
    state_.readMethod = ReadMethodCdda;
    return;
  }
  c.ModeSelectBlockMode(drive, BlockModeAudio);
  if (c.Read10Sized(drive, at, 1, kBlockAudio, buffer.data()) == kAspiSuccess) {
    state_.readMethod = ReadMethodRead10Raw;
    return;
  }
  c.ModeSelectBlockMode(drive, BlockModeData);
  state_.readMethod = ReadMethodCdAudio;
}

}  // namespace tmx
