// Two figures of the emulated drive:
//  - a whole 74-minute disc read in 25-sector commands on the virtual clock
//    (wall time per disc; the goal is under 50 ms), for the audio preset
//    (READ CD, 2352 bytes) and the data preset (READ(10), 2048 bytes);
//  - in real time, how late each command completes against its model
//    deadline (p50, p99, max in microseconds; the goal is p99 under 100 us).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "emulator/presets.h"
#include "platform/aspi_codes.h"
#include "platform/clock.h"

namespace tmx::emu {
namespace {

ScsiResult send(EmulatedAdapter& a, uint8_t target, const std::vector<uint8_t>& cdb, std::vector<uint8_t>& data) {
  ScsiCommand c;
  c.target = target;
  c.cdb = cdb;
  c.data = data;
  c.direction = data.empty() ? DataDirection::None : DataDirection::In;
  return a.execute(c);
}

std::vector<uint8_t> readCdb(bool audio, uint32_t lba, uint32_t count) {
  if (audio) {
    return {0xBE, 0x04, 0, uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba), 0, 0, uint8_t(count), 0x10, 0, 0};
  }
  return {0x28, 0, 0, uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba), 0, 0, uint8_t(count), 0};
}

void WholeDiscVirtual(benchmark::State& state) {
  const bool audio = state.range(0) == 0;
  const uint8_t target = audio ? 0 : 1;
  const size_t blockBytes = audio ? 2352 : 2048;
  VirtualClock clock;
  auto adapter = makePresetAdapter(clock);
  const int32_t capacity = adapter->drive(target)->disc()->capacity();
  std::vector<uint8_t> buffer(25 * blockBytes);
  int64_t modelNs = 0, commands = 0, failures = 0;
  for (auto _ : state) {
    const int64_t t0 = clock.nowNs();
    for (int32_t lba = 0; lba < capacity; lba += 25) {
      const auto n = static_cast<uint32_t>(std::min(25, capacity - lba));
      std::vector<uint8_t> cdb = readCdb(audio, static_cast<uint32_t>(lba), n);
      std::span<uint8_t> data(buffer.data(), n * blockBytes);
      ScsiCommand c;
      c.cdb = cdb;
      c.target = target;
      c.data = data;
      c.direction = DataDirection::In;
      failures += adapter->execute(c).status != aspi::kComplete;
      ++commands;
    }
    modelNs = clock.nowNs() - t0;
    benchmark::DoNotOptimize(buffer.data());
  }
  state.counters["model_s_per_disc"] = static_cast<double>(modelNs) / 1e9;
  state.counters["commands"] = benchmark::Counter(static_cast<double>(commands), benchmark::Counter::kAvgIterations);
  state.counters["failed"] = static_cast<double>(failures);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * capacity * static_cast<int64_t>(blockBytes));
}
BENCHMARK(WholeDiscVirtual)->Arg(0)->Arg(1)->ArgNames({"data"})->Unit(benchmark::kMillisecond);

// A real clock that remembers the last deadline it was asked to sleep to.
class DeadlineClock final : public Clock {
 public:
  int64_t counter() override { return real_.counter(); }
  int64_t counterFrequency() const override { return real_.counterFrequency(); }
  uint32_t tickMs() override { return real_.tickMs(); }
  int64_t nowNs() override { return real_.nowNs(); }
  void sleepUntilNs(int64_t t) override {
    deadline = t;
    real_.sleepUntilNs(t);
  }
  std::time_t wallTime() override { return real_.wallTime(); }
  int64_t deadline = 0;

 private:
  RealClock real_;
};

void SleepPrecisionReal(benchmark::State& state) {
  DeadlineClock clock;
  auto adapter = makePresetAdapter(clock);
  std::vector<double> lateUs;
  std::vector<uint8_t> buffer(25 * 2352);
  std::vector<uint8_t> none;
  for (auto _ : state) {
    lateUs.clear();
    auto measure = [&](const std::vector<uint8_t>& cdb, std::vector<uint8_t>& data) {
      send(*adapter, 0, cdb, data);
      lateUs.push_back(static_cast<double>(clock.nowNs() - clock.deadline) / 1e3);
    };
    for (int i = 0; i < 300; ++i) measure(readCdb(true, 100'000u + 25u * static_cast<uint32_t>(i), 25), buffer);
    for (int i = 0; i < 500; ++i) measure(readCdb(true, 100, 16), buffer);                // from the buffer
    for (int i = 0; i < 200; ++i) measure({0x00, 0, 0, 0, 0, 0}, none);                    // TEST UNIT READY
    for (int i = 0; i < 20; ++i) measure({0x2B, 0, 0, uint8_t(i * 7), 0, 0, 0, 0, 0, 0}, none);  // seeks
  }
  std::sort(lateUs.begin(), lateUs.end());
  auto pct = [&](double p) { return lateUs[static_cast<size_t>(p * static_cast<double>(lateUs.size() - 1))]; };
  state.counters["late_p50_us"] = pct(0.50);
  state.counters["late_p99_us"] = pct(0.99);
  state.counters["late_max_us"] = lateUs.back();
  state.counters["commands"] = static_cast<double>(lateUs.size());
}
BENCHMARK(SleepPrecisionReal)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tmx::emu

BENCHMARK_MAIN();
