// Starts each measuring worker on its own thread. The next worker starts from
// inside the previous one's last notification, so finished threads are joined
// lazily, and all of them on shutdown.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tmx {

class WorkerRunner {
 public:
  ~WorkerRunner() { joinAll(); }
  void start(std::function<void()> work);
  // Waits for every worker to leave. Must not be called from a worker, nor
  // from a handler the running worker waits on.
  void joinAll();
  bool anyRunning() const;

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  mutable std::mutex mutex_;
  std::vector<Worker> workers_;
};

}  // namespace tmx
