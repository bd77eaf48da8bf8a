#include "emulator/sector_synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "emulator/byte_order.h"

namespace tmx::emu {
namespace {

constexpr int64_t kMarginFrames = 25 * kFramesPerSector;
constexpr int64_t kMarginBytes = 25 * kUserDataBytes;

uint64_t splitmix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int64_t floorMod(int64_t a, int64_t m) {
  const int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// Copies `count` units out of a table holding one period plus a margin that
// repeats the period's start.
void copyLooped(const std::vector<uint8_t>& table, int64_t period, int64_t unit, int64_t start, size_t count,
                uint8_t* out) {
  const int64_t total = static_cast<int64_t>(table.size()) / unit;
  int64_t at = floorMod(start, period);
  auto left = static_cast<int64_t>(count);
  while (left > 0) {
    const int64_t chunk = std::min(left, total - at);
    std::memcpy(out, table.data() + at * unit, static_cast<size_t>(chunk * unit));
    out += chunk * unit;
    left -= chunk;
    at = (at + chunk) % period;
  }
}

// A plucked tone with two overtones; phase is a 32-bit accumulator over a
// sine table.
struct Voice {
  const std::vector<float>* sine = nullptr;
  uint32_t phase = 0, step = 0;
  double amp = 0, decay = 1;
  double next() {
    const auto& t = *sine;
    const double harmonics =
        t[phase >> 20] + 0.35 * t[(phase * 2) >> 20] + 0.15 * t[(phase * 3) >> 20];
    phase += step;
    const double v = amp * harmonics;
    amp *= decay;
    return v;
  }
  void strike(double hz, double amplitude, double halfLifeSeconds) {
    step = static_cast<uint32_t>(hz / 44'100.0 * 4294967296.0);
    amp = amplitude;
    decay = std::pow(0.5, 1.0 / (halfLifeSeconds * 44'100.0));
  }
};

}  // namespace

AudioTable::AudioTable(uint64_t seed) {
  static constexpr std::array<int, 10> kScale{0, 2, 4, 7, 9, 12, 14, 16, 19, 21};
  uint64_t rng = seed ^ 0xA0D10ull;
  std::vector<float> sine(4096);
  for (size_t i = 0; i < sine.size(); ++i) sine[i] = static_cast<float>(std::sin(2 * std::numbers::pi * i / 4096.0));
  Voice melody{&sine}, bass{&sine};
  int64_t nextMelody = 0, nextBass = 0;
  const int64_t frames = kPeriodFrames + kMarginFrames;
  bytes_.resize(static_cast<size_t>(frames * 4));
  for (int64_t i = 0; i < kPeriodFrames; ++i) {
    if (i == nextMelody) {
      const int degree = kScale[splitmix(rng) % kScale.size()];
      melody.strike(440.0 * std::pow(2.0, degree / 12.0), 7000 + static_cast<double>(splitmix(rng) % 5000), 0.18);
      nextMelody += (splitmix(rng) % 2 == 0) ? 11'025 : 22'050;
    }
    if (i == nextBass) {
      const int degree = kScale[splitmix(rng) % 5];
      bass.strike(110.0 * std::pow(2.0, degree / 12.0), 6000, 0.6);
      nextBass += 44'100;
    }
    const double m = melody.next();
    const double b = bass.next();
    const auto left = static_cast<int16_t>(std::clamp(0.8 * m + 0.5 * b, -32767.0, 32767.0));
    const auto right = static_cast<int16_t>(std::clamp(0.5 * m + 0.8 * b, -32767.0, 32767.0));
    uint8_t* p = bytes_.data() + i * 4;
    p[0] = static_cast<uint8_t>(left);
    p[1] = static_cast<uint8_t>(static_cast<uint16_t>(left) >> 8);
    p[2] = static_cast<uint8_t>(right);
    p[3] = static_cast<uint8_t>(static_cast<uint16_t>(right) >> 8);
  }
  std::memcpy(bytes_.data() + kPeriodFrames * 4, bytes_.data(), static_cast<size_t>(kMarginFrames * 4));
}

void AudioTable::copyFrames(int64_t frame, size_t count, uint8_t* out) const {
  copyLooped(bytes_, kPeriodFrames, 4, frame, count, out);
}

DataTable::DataTable(uint64_t seed) {
  uint64_t rng = seed ^ 0xDA7Aull;
  bytes_.resize(static_cast<size_t>(kPeriodBytes + kMarginBytes));
  for (int64_t i = 0; i < kPeriodBytes; i += 8) {
    const uint64_t v = splitmix(rng);
    for (int64_t k = 0; k < 8 && i + k < kPeriodBytes; ++k) bytes_[static_cast<size_t>(i + k)] = static_cast<uint8_t>(v >> (8 * k));
  }
  std::memcpy(bytes_.data() + kPeriodBytes, bytes_.data(), static_cast<size_t>(kMarginBytes));
}

void DataTable::copyUserData(int32_t lba, size_t sectors, uint8_t* out, size_t stride) const {
  const int64_t start = int64_t{lba} * static_cast<int64_t>(kUserDataBytes);
  if (stride == kUserDataBytes) {
    copyLooped(bytes_, kPeriodBytes, 1, start, sectors * kUserDataBytes, out);
  } else {
    for (size_t i = 0; i < sectors; ++i) {
      copyLooped(bytes_, kPeriodBytes, 1, start + static_cast<int64_t>(i * kUserDataBytes), kUserDataBytes,
                 out + i * stride);
    }
  }
  for (size_t i = 0; i < sectors; ++i) {
    putBe32(std::span<uint8_t>(out + i * stride, 4), 0, static_cast<uint32_t>(lba + static_cast<int32_t>(i)));
  }
}

namespace {

constexpr std::array<uint32_t, 256> makeEdcTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t e = i;
    for (int k = 0; k < 8; ++k) e = (e >> 1) ^ ((e & 1) ? 0xD8018001u : 0u);
    t[i] = e;
  }
  return t;
}
constexpr auto kEdcTable = makeEdcTable();

struct GfTables {
  std::array<uint8_t, 256> forward{};  // multiply by alpha
  std::array<uint8_t, 256> backward{};
};
constexpr GfTables makeGfTables() {
  GfTables g;
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t f = (i << 1) ^ ((i & 0x80) ? 0x11D : 0);
    g.forward[i] = static_cast<uint8_t>(f);
    g.backward[i ^ (f & 0xFF)] = static_cast<uint8_t>(i);
  }
  return g;
}
constexpr auto kGf = makeGfTables();

// One parity family of the CD-ROM product code over the 2064 bytes that
// follow the sync (header onwards): P uses 86 columns of 24, Q 52 diagonals
// of 43.
void computeParity(const uint8_t* src, uint32_t majors, uint32_t minors, uint32_t majorMult, uint32_t minorInc,
                   uint8_t* dest) {
  const uint32_t size = majors * minors;
  for (uint32_t major = 0; major < majors; ++major) {
    uint32_t index = (major >> 1) * majorMult + (major & 1);
    uint8_t a = 0, b = 0;
    for (uint32_t minor = 0; minor < minors; ++minor) {
      const uint8_t v = src[index];
      index += minorInc;
      if (index >= size) index -= size;
      a ^= v;
      b ^= v;
      a = kGf.forward[a];
    }
    a = kGf.backward[kGf.forward[a] ^ b];
    dest[major] = a;
    dest[major + majors] = a ^ b;
  }
}

}  // namespace

uint32_t mode1Edc(std::span<const uint8_t> bytes) {
  uint32_t edc = 0;
  for (uint8_t b : bytes) edc = (edc >> 8) ^ kEdcTable[(edc ^ b) & 0xFF];
  return edc;
}

void frameMode1Sector(int32_t lba, std::span<uint8_t, kRawSectorBytes> sector) {
  uint8_t* s = sector.data();
  s[0] = 0;
  std::memset(s + 1, 0xFF, 10);
  s[11] = 0;
  const Msf t = lbaToMsf(lba);
  s[12] = toBcd(t.m);
  s[13] = toBcd(t.s);
  s[14] = toBcd(t.f);
  s[15] = 1;
  const uint32_t edc = mode1Edc(std::span<const uint8_t>(s, 2064));
  for (int k = 0; k < 4; ++k) s[2064 + k] = static_cast<uint8_t>(edc >> (8 * k));
  std::memset(s + 2068, 0, 8);
  computeParity(s + 12, 86, 24, 2, 86, s + 2076);
  computeParity(s + 12, 52, 43, 86, 88, s + 2248);
}

}  // namespace tmx::emu
