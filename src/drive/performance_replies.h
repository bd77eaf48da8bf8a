// GET PERFORMANCE (ACh) type 00h replies: an 8-byte header whose first four
// bytes count the bytes after themselves, then 16-byte descriptors of start
// LBA, start performance, end LBA and end performance, performance in KB/s
// of 1000 bytes.
//
//   const auto d = parsePerformance(reply);
//   maximumPerformanceKBps(d);   // the fastest the drive reports, e.g. 22160 (16X DVD)
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tmx {

struct PerformanceDescriptor {
  uint32_t startLba = 0;
  uint32_t startKBps = 0;
  uint32_t endLba = 0;
  uint32_t endKBps = 0;
  bool operator==(const PerformanceDescriptor&) const = default;
};

struct PerformanceReply {
  bool write = false;   // header byte 4 bit 1: the descriptors are for writing
  bool except = false;  // header byte 4 bit 0: exceptional conditions, not nominal figures
  std::vector<PerformanceDescriptor> descriptors;  // whole ones inside the reply only
  bool operator==(const PerformanceReply&) const = default;
};

// Empty when the reply does not hold the header.
std::optional<PerformanceReply> parsePerformance(std::span<const uint8_t> reply);

// The largest start or end performance of the nominal read descriptors; empty
// when there is none or the reply is for writing or exceptions.
std::optional<uint32_t> maximumPerformanceKBps(const PerformanceReply& reply);

}  // namespace tmx
