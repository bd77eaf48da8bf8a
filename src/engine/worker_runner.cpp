#include "engine/worker_runner.h"

#include <atomic>
#include <memory>

namespace tmx {

void WorkerRunner::start(std::function<void()> work) {
  std::lock_guard lock(mutex_);
  // Reap workers that have already returned.
  std::erase_if(workers_, [](Worker& w) {
    if (!w.done->load()) return false;
    w.thread.join();
    return true;
  });
  auto done = std::make_shared<std::atomic<bool>>(false);
  workers_.push_back(Worker{std::thread([work = std::move(work), done] {
                              work();
                              done->store(true);
                            }),
                            done});
}

void WorkerRunner::joinAll() {
  std::vector<Worker> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (auto& w : workers) w.thread.join();
}

bool WorkerRunner::anyRunning() const {
  std::lock_guard lock(mutex_);
  for (const auto& w : workers_) {
    if (!w.done->load()) return true;
  }
  return false;
}

}  // namespace tmx
