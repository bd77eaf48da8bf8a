#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/event_channel.h"

namespace tmx {
namespace {

TEST(EventChannel, NotifyReturnsOnlyAfterTheHandlerRan) {
  std::vector<std::pair<int, long>> handled;
  std::atomic<bool> workerSawHandled{true};
  EventChannel* self = nullptr;
  EventChannel channel([&](int event, long value) { handled.emplace_back(event, value); });
  self = &channel;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      self->notify(1, i);
      if (handled.size() != static_cast<size_t>(i + 1)) workerSawHandled = false;
    }
  });
  while (handled.size() < 50) channel.pumpOne(std::chrono::milliseconds(100));
  worker.join();
  EXPECT_TRUE(workerSawHandled);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(handled[static_cast<size_t>(i)].second, i);
}

TEST(EventChannel, HandlerMayStartTheNextWorker) {
  std::vector<int> order;
  std::vector<std::thread> workers;
  EventChannel* self = nullptr;
  EventChannel channel([&](int event, long) {
    order.push_back(event);
    // The old worker still waits in its notification while the new one starts.
    if (event < 5) workers.emplace_back([&, event] { self->notify(event + 1, 0); });
  });
  self = &channel;
  workers.emplace_back([&] { self->notify(1, 0); });
  while (order.size() < 5) channel.pumpOne(std::chrono::milliseconds(100));
  for (auto& w : workers) w.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_FALSE(channel.pumpOne(std::chrono::milliseconds(1)));
}

}  // namespace
}  // namespace tmx

namespace tmx {
namespace {

TEST(EventChannel, PostedValuesDoNotWaitAndTheLatestWins) {
  std::vector<std::pair<int, long>> handled;
  std::atomic<bool> allPosted{false};
  EventChannel channel([&](int event, long value) { handled.emplace_back(event, value); });
  std::thread worker([&] {
    for (long i = 0; i <= 100; ++i) channel.post(0, i);  // nobody pumps yet: must not block
    allPosted = true;
    channel.notify(7, 0);
  });
  while (!allPosted) std::this_thread::yield();
  while (handled.empty() || handled.back().first != 7) channel.pumpOne(std::chrono::milliseconds(100));
  worker.join();
  EXPECT_EQ(handled, (std::vector<std::pair<int, long>>{{0, 100}, {7, 0}}))
      << "only the latest value, and before the event sent after it";
}

}  // namespace
}  // namespace tmx
