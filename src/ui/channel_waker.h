// Delivers the engine's notifications on the Qt event loop: each event a
// worker sends wakes the loop, which handles it on the user-interface thread.
// A synchronous notification stays synchronous (its worker waits until the
// handler has run); a posted progress value does not make its worker wait.
#pragma once

#include <QObject>

#include "engine/event_channel.h"

namespace tmx::ui {

class ChannelWaker : public QObject {
  Q_OBJECT

 public:
  explicit ChannelWaker(EventChannel& channel, QObject* parent = nullptr);
  // Clears the wakeup: call only once no worker runs.
  ~ChannelWaker() override;

 private:
  void pump();

  EventChannel& channel_;
  bool pumping_ = false;
};

}  // namespace tmx::ui
