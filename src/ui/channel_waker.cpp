#include "ui/channel_waker.h"

#include <QMetaObject>

namespace tmx::ui {

ChannelWaker::ChannelWaker(EventChannel& channel, QObject* parent) : QObject(parent), channel_(channel) {
  // Called on the worker's thread: only queues a call. A queued call bound to
  // this object is dropped if the object goes first.
  channel_.setWakeup([this] {
    QMetaObject::invokeMethod(
        this, [this] { channel_.pumpOne(std::chrono::milliseconds(0)); }, Qt::QueuedConnection);
  });
}

ChannelWaker::~ChannelWaker() { channel_.setWakeup({}); }

}  // namespace tmx::ui
