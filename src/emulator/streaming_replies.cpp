#include "emulator/streaming_replies.h"

#include <cmath>
#include <vector>

#include "emulator/byte_order.h"

namespace tmx::emu {
namespace {

constexpr size_t kDescriptorBytes = 16;
constexpr int32_t kScanSteps = 4096;
constexpr size_t kStreamingListBytes = 28;
constexpr double kUnlimitedX = 1e9;

// What shapes the speed at an LBA: its layer, its zone, whether the cap or
// the host's limit holds it flat. A descriptor ends where this changes.
struct Regime {
  int layer;
  size_t zone;
  bool capped;
  bool limited;
  bool operator==(const Regime&) const = default;
};

Regime regimeAt(const DriveProfile& p, const Mechanics& m, int32_t lba, double limitX) {
  const int32_t radial = m.geometry().radialLba(lba);
  size_t zone = 0;
  for (const SpeedZone& z : p.zones) zone += radial >= z.fromLba ? 1 : 0;
  const double curve = m.speedXAt(lba, kUnlimitedX);
  return Regime{m.geometry().layerOf(lba), zone, curve >= p.maxSpeedX, m.speedXAt(lba, limitX) < curve};
}

// Where the regime changes: a coarse scan, then a binary search in each step
// where it did.
std::vector<int32_t> stretchStarts(const DriveProfile& p, const Mechanics& m, int32_t capacity, double limitX) {
  std::vector<int32_t> starts{0};
  int32_t previous = 0;
  for (int32_t step = 1; step <= kScanSteps; ++step) {
    const auto at = static_cast<int32_t>(int64_t{capacity - 1} * step / kScanSteps);
    if (at <= previous) continue;
    if (!(regimeAt(p, m, at, limitX) == regimeAt(p, m, previous, limitX))) {
      int32_t low = previous, high = at;  // regime(low) differs from regime(high)
      const Regime before = regimeAt(p, m, previous, limitX);
      while (high - low > 1) {
        const int32_t mid = low + (high - low) / 2;
        (regimeAt(p, m, mid, limitX) == before ? low : high) = mid;
      }
      starts.push_back(high);
    }
    previous = at;
  }
  return starts;
}

}  // namespace

Reply performanceReply(const DriveProfile& profile, const Mechanics& mechanics, int32_t capacity, double limitX,
                       uint32_t startLba) {
  if (capacity <= 0 || startLba >= static_cast<uint32_t>(capacity)) return sense::kLbaOutOfRange;
  const double perX = mechanics.geometry().kbpsPerX;
  const auto kbps = [&](int32_t lba) {
    return static_cast<uint32_t>(std::lround(mechanics.speedXAt(lba, limitX) * perX));
  };
  const std::vector<int32_t> starts = stretchStarts(profile, mechanics, capacity, limitX);
  std::vector<uint8_t> out(8, 0);
  for (size_t i = 0; i < starts.size(); ++i) {
    const int32_t first = starts[i];
    const int32_t last = i + 1 < starts.size() ? starts[i + 1] - 1 : capacity - 1;
    if (static_cast<uint32_t>(last) < startLba) continue;
    const size_t at = out.size();
    out.resize(at + kDescriptorBytes, 0);
    putBe32(out, at, static_cast<uint32_t>(first));
    putBe32(out, at + 4, kbps(first));
    putBe32(out, at + 8, static_cast<uint32_t>(last));
    putBe32(out, at + 12, kbps(last));
  }
  putBe32(out, 0, static_cast<uint32_t>(out.size() - 4));
  return out;
}

std::variant<double, Sense> streamingReadX(std::span<const uint8_t> list, double kbpsPerX, double maxX) {
  if (list.size() < kStreamingListBytes) return sense::kParameterLengthError;
  if ((list[0] & 0x04) != 0) return maxX;  // RDD: restore the drive's defaults
  const uint32_t readTimeMs = be32(list, 16);
  if (readTimeMs == 0) return sense::kInvalidFieldInParameters;
  const double kbPerSecond = be32(list, 12) * 1000.0 / readTimeMs;
  return kbPerSecond / kbpsPerX;
}

}  // namespace tmx::emu
