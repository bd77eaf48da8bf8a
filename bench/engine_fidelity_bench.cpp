// Measurement fidelity in real time: the engine measures the emulated default
// drive (52X CAV, 74-minute audio CD) while the drive sleeps on the monotonic
// clock, and every figure is compared with the drive's own truth. The costs
// of a synchronous notification and of a posted progress value (with the main
// thread really waiting, as during a test) are measured on their own and shown
// as a share of a zone's timed interval.
//
//   bench_engine_fidelity [--test-length N] [--costs-only]   (default 6: about a minute)
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "emulator/ground_truth.h"
#include "engine/workers.h"
#include "support/engine_rig.h"

namespace {

using namespace tmx;

struct NotifyCost {
  double meanUs = 0;
  double p99Us = 0;
};

NotifyCost summarise(std::vector<double>& samples) {
  NotifyCost cost;
  for (double s : samples) cost.meanUs += s;
  cost.meanUs /= static_cast<double>(samples.size());
  std::sort(samples.begin(), samples.end());
  cost.p99Us = samples[static_cast<size_t>(static_cast<double>(samples.size()) * 0.99)];
  return cost;
}

// Round trips of notify -> main thread handling -> worker resumes.
NotifyCost measureNotifyCost(int count) {
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(count));
  int handled = 0;
  EventChannel channel([&](int, long) { ++handled; });
  std::thread worker([&] {
    for (int i = 0; i < count; ++i) {
      const int64_t t0 = monotonicNs();
      channel.notify(EventProgress, i);
      samples.push_back(static_cast<double>(monotonicNs() - t0) / 1000.0);
    }
  });
  while (handled < count) channel.pumpOne(std::chrono::milliseconds(100));
  worker.join();
  return summarise(samples);
}

// The worker's cost of posting a progress value. With `pumping`, the main
// thread waits in pumpOne as it does during a test, and the worker pauses
// between posts as a read would, so every post finds it asleep and wakes it.
// Without, nobody waits and a post only stores the value.
NotifyCost measurePostCost(int count, bool pumping) {
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(count));
  std::atomic<bool> done{false};
  EventChannel channel([](int, long) {});
  std::thread worker([&] {
    for (int i = 0; i < count; ++i) {
      const int64_t t0 = monotonicNs();
      channel.post(EventProgress, i);
      samples.push_back(static_cast<double>(monotonicNs() - t0) / 1000.0);
      if (pumping) std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    done = true;
  });
  if (pumping) {
    while (!done) channel.pumpOne(std::chrono::milliseconds(20));
  }
  worker.join();
  return summarise(samples);
}

// Progress posts one transfer zone sends at this test length, counted on a
// scripted worker context (the drive is the rig's, the clock virtual).
int postsPerZone(int testLength) {
  tmx::testing::EngineRig rig(1);
  SequencerState state;
  state.testDrive = rig.table.selectedDrive();
  state.readMethod = ReadMethodRead10;
  const TransferPhase phase{0, 360.0 / testLength, 600.0 / testLength};
  int posts = 0;
  WorkerContext ctx{rig.commands, rig.clock, state, rig.results.record, rig.settings, [&](int event, long) {
                      if (event == EventProgress) ++posts;
                    }};
  runTransferZone(ctx, phase);
  return posts;
}

}  // namespace

int main(int argc, char** argv) {
  int testLength = 6;
  bool costsOnly = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--test-length") == 0 && i + 1 < argc) testLength = std::clamp(std::atoi(argv[i + 1]), 1, 6);
    if (std::strcmp(argv[i], "--costs-only") == 0) costsOnly = true;
  }

  const NotifyCost notify = measureNotifyCost(20000);
  const NotifyCost idlePost = measurePostCost(20000, false);
  const NotifyCost post = measurePostCost(5000, true);
  const int posts = postsPerZone(testLength);
  std::printf("synchronous notification round trip: mean %.1f us, p99 %.1f us\n", notify.meanUs, notify.p99Us);
  std::printf("posted progress value, nobody pumping: mean %.2f us, p99 %.2f us\n", idlePost.meanUs, idlePost.p99Us);
  std::printf("posted progress value, main thread waiting: mean %.2f us, p99 %.2f us\n", post.meanUs, post.p99Us);
  std::printf("progress posts per zone at test length %d: %d (reads per zone: %d)\n", testLength, posts,
              readsPerZone(360.0 / testLength));
  if (costsOnly) return 0;

  RealClock clock;
  tmx::testing::EngineRig rig(0, &clock);
  rig.onlyTests({TestTransferRate, TestSeekTimes, TestBurstRate, TestSpinUpDown});
  rig.settings.testLength = testLength;
  std::vector<long> seekTotalsMs;  // the raw values, before the per-seek truncation
  rig.onEvent = [&](int event, long value) {
    if (event == EventSeekPhaseDone) seekTotalsMs.push_back(value);
  };
  const int64_t start = monotonicNs();
  rig.run();
  std::printf("run took %.1f s (test length %d)\n", static_cast<double>(monotonicNs() - start) / 1e9, testLength);
  if (rig.host.count("Test aborted") > 0) {
    std::printf("run aborted\n");
    return 1;
  }

  const emu::GroundTruth truth(rig.drive());
  const TestResults& r = rig.results.record;
  const int n = readsPerZone(360.0 / testLength);
  const int32_t timedSectors = (n - 1) * 25;
  double worst = 0;
  std::printf("\nzone  measured X  true X   error   share of the timed interval: sync notify per read / posts\n");
  for (int zone = 0; zone <= r.lastZone; ++zone) {
    const double measured = r.speedSamples[static_cast<size_t>(zone)] / 5.0;
    const double trueX = truth.averageSpeedX(zone * 9000 + 25, timedSectors);
    const double error = (measured - trueX) / trueX * 100.0;
    const double intervalUs = timedSectors / (trueX * 75.0) * 1e6;
    const double share = (n - 1) * notify.meanUs / intervalUs * 100.0;
    const double postShare = posts * post.meanUs / intervalUs * 100.0;
    worst = std::max(worst, std::fabs(error));
    std::printf("%4d  %10.3f  %7.3f  %+6.3f%%  %6.3f%% / %6.4f%%\n", zone, measured, trueX, error, share, postShare);
  }
  std::printf("worst transfer error: %.3f%% (target 0.2%%)\n", worst);

  std::vector<int32_t> random, third, full;
  for (int i = 0; i < 100; ++i) {
    random.push_back(seekTarget(0, i));
    third.push_back(seekTarget(1, i));
    full.push_back(seekTarget(2, i));
  }
  const double seekTruth[3] = {truth.averageSeekMs(0, random), truth.averageSeekMs(random.back(), third),
                               truth.averageSeekMs(0, full)};
  const int32_t seekMeasured[3] = {r.randomSeekMs, r.oneThirdSeekMs, r.fullSeekMs};
  const char* seekNames[3] = {"random", "1/3", "full"};
  std::printf("\nseek     shown ms  measured ms  true ms  error ms (target 1 ms; the shown value is truncated)\n");
  for (int i = 0; i < 3 && i < static_cast<int>(seekTotalsMs.size()); ++i) {
    const double measured = static_cast<double>(seekTotalsMs[static_cast<size_t>(i)]) / 100.0;
    std::printf("%-7s  %8d  %11.2f  %7.2f  %+7.2f\n", seekNames[i], seekMeasured[i], measured, seekTruth[i],
                measured - seekTruth[i]);
  }

  const double burstTruth = truth.burstKBps(burstSectors(rig.settings.burstLengthKB), 2352) / 1024.0;
  std::printf("\nburst: measured %d MB/s (rounded up), true %.2f MB/s\n", r.burstRate, burstTruth);
  std::printf("spin up: measured %.3f s, model spin-up %.3f s (the timed read adds its access)\n", r.spinUpTime,
              truth.spinUpMs(kSpinLba) / 1000.0);
  std::printf("spin down: measured %.3f s\n", r.spinDownTime);
  return 0;
}
