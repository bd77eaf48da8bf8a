// Identifiers shared by the sequencer and its workers: tests, notification
// events and the read command chosen for the disc.
#pragma once

namespace tmx {

enum TestId : int {
  TestTransferRate = 0,
  TestDaeQuality = 1,
  TestSeekTimes = 2,
  TestCpuUtilization = 3,
  TestBurstRate = 4,
  TestSpinUpDown = 5,
  RunAllSelected = 10,
};

// What the drive preparation leads into besides the six tests.
inline constexpr int PreparedQualityCheck = 6;

enum TestEvent : int {
  EventProgress = 0,
  EventTransferZone = 1,
  EventSeekStart = 2,
  EventSeekPhaseDone = 3,
  EventCpuStart = 4,
  EventCpuPhaseDone = 5,
  EventBurstStart = 6,
  EventBurstDone = 7,
  EventDaeStart = 8,
  EventDaeProgress = 9,
  EventSpinStart = 10,
  EventSpinPhaseDone = 11,
  EventQualityStart = 12,
  EventReadError = 20,
  EventCancelled = 21,
  EventQualityDone = 75,
  EventQualityBlock = 76,
  EventQualityReadError = 77,
  EventDaeNotPossible = 88,
  // A worker cannot go on for a reason of its own (its scratch file, a disc
  // too short, a block size the drive refuses); the reason is in
  // SequencerState::failureText.
  EventWorkerFailed = 89,
};

enum ReadMethod : int {
  ReadMethodRead10 = 0,
  ReadMethodRead12 = 1,
  ReadMethodCdda = 2,
  ReadMethodCdAudio = 3,
  ReadMethodRead10Raw = 4,
  ReadMethodCdData = 5,
};

constexpr bool isAudioReadMethod(int method) {
  return method == ReadMethodCdda || method == ReadMethodCdAudio || method == ReadMethodRead10Raw;
}

}  // namespace tmx
