#include "results/persisted_block.h"

#include <algorithm>
#include <bit>

namespace tmx {
namespace {

class Writer {
 public:
  explicit Writer(PersistedBlock& out) : out_(out) {}
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[pos_++] = static_cast<uint8_t>(v >> (8 * i));
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f64(double v) {
    const auto bits = std::bit_cast<uint64_t>(v);
    u32(static_cast<uint32_t>(bits));
    u32(static_cast<uint32_t>(bits >> 32));
  }
  template <size_t N>
  void raw(const std::array<uint8_t, N>& bytes) {
    std::copy(bytes.begin(), bytes.end(), out_.begin() + pos_);
    pos_ += N;
  }

 private:
  PersistedBlock& out_;
  size_t pos_ = 0;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t, kPersistedBlockSize> in) : in_(in) {}
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in_[pos_++]) << (8 * i);
    return v;
  }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  double f64() {
    const uint64_t low = u32();
    const uint64_t high = u32();
    return std::bit_cast<double>(low | high << 32);
  }
  template <size_t N>
  void raw(std::array<uint8_t, N>& bytes) {
    std::copy_n(in_.begin() + pos_, N, bytes.begin());
    pos_ += N;
  }

 private:
  std::span<const uint8_t, kPersistedBlockSize> in_;
  size_t pos_ = 0;
};

}  // namespace

PersistedBlock encodePersistedBlock(const TestResults& r) {
  PersistedBlock block{};
  Writer w(block);
  w.raw(r.formatVersion);
  w.i32(r.discLength);
  w.i32(r.discType);
  for (double sample : r.speedSamples) w.f64(sample);
  w.i32(r.daeScore);
  w.i32(r.accurateStream);
  for (int32_t cpu : r.cpuUsage) w.i32(cpu);
  w.i32(r.randomSeekMs);
  w.i32(r.oneThirdSeekMs);
  w.i32(r.fullSeekMs);
  w.i32(r.burstRate);
  w.i32(r.readSpeed);
  w.raw(r.reserved);
  return block;
}

void decodePersistedBlock(std::span<const uint8_t, kPersistedBlockSize> block, TestResults& r) {
  Reader in(block);
  in.raw(r.formatVersion);
  r.discLength = in.i32();
  r.discType = in.i32();
  for (double& sample : r.speedSamples) sample = in.f64();
  r.daeScore = in.i32();
  r.accurateStream = in.i32();
  for (int32_t& cpu : r.cpuUsage) cpu = in.i32();
  r.randomSeekMs = in.i32();
  r.oneThirdSeekMs = in.i32();
  r.fullSeekMs = in.i32();
  r.burstRate = in.i32();
  r.readSpeed = in.i32();
  in.raw(r.reserved);
}

}  // namespace tmx
