#include "drive/performance_replies.h"

#include <algorithm>

#include "drive/reply_parsers.h"

namespace tmx {
namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kDescriptorBytes = 16;

}  // namespace

std::optional<PerformanceReply> parsePerformance(std::span<const uint8_t> reply) {
  const auto sent = claimedBytes(reply, kDataLength32);
  if (sent.size() < kHeaderBytes) return std::nullopt;
  PerformanceReply parsed;
  parsed.write = (sent[4] & 0x02) != 0;
  parsed.except = (sent[4] & 0x01) != 0;
  for (size_t at = kHeaderBytes; at + kDescriptorBytes <= sent.size(); at += kDescriptorBytes) {
    parsed.descriptors.push_back(
        {readBe32(sent, at), readBe32(sent, at + 4), readBe32(sent, at + 8), readBe32(sent, at + 12)});
  }
  return parsed;
}

std::optional<uint32_t> maximumPerformanceKBps(const PerformanceReply& reply) {
  if (reply.write || reply.except || reply.descriptors.empty()) return std::nullopt;
  uint32_t fastest = 0;
  for (const PerformanceDescriptor& d : reply.descriptors) fastest = std::max({fastest, d.startKBps, d.endKBps});
  if (fastest == 0) return std::nullopt;
  return fastest;
}

}  // namespace tmx
