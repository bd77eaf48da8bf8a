// What the ripping-features window shows, without widgets: whether the disc
// in the drive can be checked (or why not), the check run off the caller's
// thread, its status lines, progress and answers as they come, Stop, and the
// answers once it ended. Everything but `wake` belongs to the caller's thread.
//
//   RippingCheckModel model(commands, drive, clock, rippingStartOf(panel, kind, length), &status);
//   model.setWake([&] { post to the window's thread: if (model.pump()) redraw(); });
//   model.start(overread);
//   model.stop();                  // ends after the command in flight
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "drive/disc_probe.h"
#include "drive/medium.h"
#include "engine/ripping_worker.h"

namespace tmx {

class StatusSink;

// The disc the check would read, or why it cannot: not a CD, or no recorded one.
struct RippingStart {
  RippingDisc disc;
  std::string refusal;  // empty: the check may start
};
RippingStart rippingStartOf(const DiscPanel& panel, MediumKind medium, int32_t storedLength);

class RippingCheckModel {
 public:
  // `status` (optional) receives the check's status lines as pump() takes them.
  RippingCheckModel(DriveCommands& commands, DriveAddress drive, Clock& clock, RippingStart start,
                    StatusSink* status = nullptr);
  // Stops a check under way and waits for its command in flight.
  ~RippingCheckModel();

  const std::string& refusal() const { return start_.refusal; }
  bool canStart() const { return start_.refusal.empty() && !running_; }
  bool running() const { return running_; }
  bool stopping() const { return stopping_; }

  // False when it cannot start (refused, or already running).
  bool start(bool overread);
  void stop();

  // Takes what the check sent since the last call; true when anything
  // changed. Called on the caller's thread after `wake`, and by tests.
  bool pump();

  const std::vector<std::string>& statusLines() const { return statusLines_; }
  const std::string& lastStatus() const { return lastStatus_; }
  int percent() const { return percent_; }
  // The answers so far: the parts that ended, then the verdict.
  const std::vector<std::string>& answerLines() const { return answerLines_; }
  // The last check that ended, and whether a stop cut it short.
  const std::optional<RippingFeatures>& finished() const { return finished_; }
  bool finishedStopped() const { return finishedStopped_; }

  // Called on the worker's thread when there is something to pump() (once
  // until the next pump); it must only post to the caller's thread. Empty
  // it before whatever it posts to goes.
  void setWake(std::function<void()> wake);

 private:
  void post();

  DriveCommands& commands_;
  DriveAddress drive_;
  Clock& clock_;
  RippingStart start_;
  StatusSink* status_;

  // Filled by the worker's hooks, emptied by pump().
  std::mutex mutex_;
  std::function<void()> wake_;
  bool wakePending_ = false;
  std::vector<std::string> pendingLines_;
  std::optional<RippingFeatures> pendingFeatures_;
  std::optional<int> pendingPercent_;
  bool pendingEnd_ = false;

  bool running_ = false;
  bool stopping_ = false;
  std::vector<std::string> statusLines_;
  std::string lastStatus_;
  int percent_ = 0;
  std::vector<std::string> answerLines_;
  std::optional<RippingFeatures> finished_;
  bool finishedStopped_ = false;
  RippingWorker worker_;  // last: it joins before the members its hooks use go
};

}  // namespace tmx
