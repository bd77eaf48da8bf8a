#include "app/ripping_check_model.h"

#include <utility>

#include "drive/status_sink.h"
#include "ripping/ripping_text.h"

namespace tmx {

RippingStart rippingStartOf(const DiscPanel& panel, MediumKind medium, int32_t storedLength) {
  RippingStart s;
  s.disc = RippingDisc{panel.kind, storedLength, medium == MediumKind::CD};
  if (medium != MediumKind::CD) {
    s.refusal = std::string("The disc is a ") + mediumName(medium) +
                ": the ripping features check is for CDs (audio, C2 pointers and sub-channel are a CD's)";
  } else if (panel.kind < 0 || panel.blank || storedLength <= 0) {
    s.refusal = "Insert a recorded CD: the ripping features check reads the disc (type " + panel.typeText + ")";
  }
  return s;
}

RippingCheckModel::RippingCheckModel(DriveCommands& commands, DriveAddress drive, Clock& clock, RippingStart start,
                                     StatusSink* status)
    : commands_(commands), drive_(drive), clock_(clock), start_(std::move(start)), status_(status) {}

RippingCheckModel::~RippingCheckModel() {
  worker_.requestStop();
  worker_.wait();
}

void RippingCheckModel::setWake(std::function<void()> wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
  wakePending_ = false;
}

// Under the lock, so setWake can take the hook away while the worker runs.
void RippingCheckModel::post() {
  if (wakePending_ || !wake_) return;
  wakePending_ = true;
  wake_();
}

bool RippingCheckModel::start(bool overread) {
  if (!canStart()) return false;
  RippingHooks hooks;
  hooks.status = [this](const std::string& line) {
    {
      std::lock_guard lock(mutex_);
      pendingLines_.push_back(line);
      post();
    }
  };
  hooks.progress = [this](int percent) {
    {
      std::lock_guard lock(mutex_);
      pendingPercent_ = percent;
      post();
    }
  };
  hooks.partDone = [this](const RippingFeatures& f) {
    {
      std::lock_guard lock(mutex_);
      pendingFeatures_ = f;
      post();
    }
  };
  RippingOptions options;
  options.overread = overread;
  running_ = true;
  stopping_ = false;
  percent_ = 0;
  answerLines_.clear();
  const bool started = worker_.start(commands_, drive_, clock_, start_.disc, options, std::move(hooks), [this] {
    {
      std::lock_guard lock(mutex_);
      pendingEnd_ = true;
      post();
    }
  });
  running_ = started;
  return started;
}

void RippingCheckModel::stop() {
  if (!running_) return;
  stopping_ = true;
  worker_.requestStop();
}

bool RippingCheckModel::pump() {
  std::vector<std::string> lines;
  std::optional<RippingFeatures> features;
  std::optional<int> percent;
  bool ended = false;
  {
    std::lock_guard lock(mutex_);
    lines.swap(pendingLines_);
    features.swap(pendingFeatures_);
    percent.swap(pendingPercent_);
    std::swap(ended, pendingEnd_);
    wakePending_ = false;
  }
  for (const std::string& line : lines) {
    statusLines_.push_back(line);
    lastStatus_ = line;
    if (status_ != nullptr) status_->addStatusLine(line);
  }
  if (percent) percent_ = *percent;
  if (features) answerLines_ = rippingTextLinesSoFar(*features);
  if (ended) {
    worker_.wait();
    finished_ = worker_.result();
    finishedStopped_ = stopping_;
    answerLines_ = rippingTextLines(*finished_);
    running_ = false;
    stopping_ = false;
  }
  return !lines.empty() || features || percent || ended;
}

}  // namespace tmx
