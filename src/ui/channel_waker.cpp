#include "ui/channel_waker.h"

#include <QMetaObject>
#include <QTimer>

namespace tmx::ui {

ChannelWaker::ChannelWaker(EventChannel& channel, QObject* parent) : QObject(parent), channel_(channel) {
  // Called on the worker's thread: only queues a call. A queued call bound to
  // this object is dropped if the object goes first.
  channel_.setWakeup([this] { QMetaObject::invokeMethod(this, [this] { pump(); }, Qt::QueuedConnection); });
}

ChannelWaker::~ChannelWaker() { channel_.setWakeup({}); }

void ChannelWaker::pump() {
  // A handler that opened a modal dialog runs a nested event loop; handling
  // another wakeup inside it would hand the same pending event out twice.
  // Try again once the handler has returned.
  if (pumping_) {
    QTimer::singleShot(10, this, [this] { pump(); });
    return;
  }
  pumping_ = true;
  channel_.pumpOne(std::chrono::milliseconds(0));
  pumping_ = false;
}

}  // namespace tmx::ui
