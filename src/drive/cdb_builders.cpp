#include "drive/cdb_builders.h"

#include <algorithm>
#include <cstddef>

namespace tmx {
namespace {

constexpr uint32_t kModeHeader6 = 4;
constexpr uint32_t kModeHeader10 = 8;
constexpr uint32_t kBlockDescriptor = 8;
constexpr uint32_t kPerformanceHeader = 8;
constexpr uint32_t kPerformanceDescriptor = 16;
constexpr uint8_t kStreamingDescriptor = 28;

CdbRequest make(std::initializer_list<uint8_t> bytes, uint32_t transferLength) {
  CdbRequest r;
  size_t i = 0;
  for (uint8_t b : bytes) r.bytes[i++] = b;
  r.transferLength = transferLength;
  return r;
}

uint8_t b3(uint32_t v) { return static_cast<uint8_t>(v >> 24); }
uint8_t b2(uint32_t v) { return static_cast<uint8_t>(v >> 16); }
uint8_t b1(uint32_t v) { return static_cast<uint8_t>(v >> 8); }
uint8_t b0(uint32_t v) { return static_cast<uint8_t>(v); }

// The 12-byte reads share one layout: LBA in bytes 3-5, 24-bit count in 7-9.
CdbRequest read12Layout(uint8_t opcode, uint32_t lba, uint32_t count, uint32_t blockSize) {
  return make({opcode, 0, 0, b2(lba), b1(lba), b0(lba), 0, b2(count), b1(count), b0(count), 0, 0},
              readTransferLength(count, blockSize));
}

uint32_t wideTransferLength(uint32_t count) { return count <= kMaxBlocksPerWideRead ? count * kBlockData : 0; }

struct BlockModeDescriptor {
  uint8_t density;
  uint32_t length;
};

bool descriptorFor(int mode, BlockModeDescriptor& out) {
  switch (mode) {
    case BlockModeAudio: out = {0x82, kBlockAudio}; return true;
    case BlockModeData: out = {0x00, kBlockData}; return true;
    case BlockModeAudioC2: out = {0x82, kBlockAudioC2}; return true;
    default: return false;
  }
}

void appendDescriptor(std::vector<uint8_t>& list, uint8_t density, uint32_t length) {
  list.insert(list.end(), {density, 0, 0, 0, 0, b2(length), b1(length), b0(length)});
}

}  // namespace

uint32_t readTransferLength(uint32_t count, uint32_t blockSize) {
  return count <= kMaxBlocksPerRead ? count * blockSize : 0;
}

CdbRequest testUnitReadyCdb() { return make({0x00, 0, 0, 0, 0, 0}, 0); }
CdbRequest requestSenseCdb() { return make({0x03, 0, 0, 0, 0x12, 0}, 18); }
CdbRequest inquiryCdb() { return make({0x12, 0, 0, 0, 0x38, 0}, 56); }
CdbRequest readCapacityCdb() { return make({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8); }

CdbRequest readTocCdb(int format, uint16_t allocationLength) {
  return make({0x43, 0, 0, 0, 0, 0, 0, b1(allocationLength), b0(allocationLength),
               static_cast<uint8_t>((format & 0x03) << 6)},
              allocationLength);
}

CdbRequest readTocPmaAtipCdb(int format, uint8_t trackOrSession, uint16_t allocationLength) {
  return make({0x43, 0, static_cast<uint8_t>(format), 0, 0, 0, trackOrSession, b1(allocationLength),
               b0(allocationLength), 0},
              allocationLength);
}

CdbRequest readDiscInformationCdb(uint16_t allocationLength) {
  return make({0x51, 0, 0, 0, 0, 0, 0, b1(allocationLength), b0(allocationLength), 0}, allocationLength);
}

CdbRequest seek6Cdb(uint32_t lba) { return make({0x0B, b2(lba), b1(lba), b0(lba), 0, 0}, 0); }
CdbRequest seek10Cdb(uint32_t lba) { return make({0x2B, 0, 0, b2(lba), b1(lba), b0(lba), 0, 0, 0, 0}, 0); }

CdbRequest read10Cdb(uint32_t lba, uint32_t count, uint32_t blockSize) {
  return make({0x28, 0, 0, b2(lba), b1(lba), b0(lba), 0, b1(count), b0(count), 0},
              readTransferLength(count, blockSize));
}

CdbRequest read12Cdb(uint32_t lba, uint32_t count) { return read12Layout(0xA8, lba, count, kBlockData); }

CdbRequest read10WideCdb(uint32_t lba, uint32_t count) {
  return make({0x28, 0, b3(lba), b2(lba), b1(lba), b0(lba), 0, b1(count), b0(count), 0}, wideTransferLength(count));
}

CdbRequest read12WideCdb(uint32_t lba, uint32_t count) {
  return make({0xA8, 0, b3(lba), b2(lba), b1(lba), b0(lba), b3(count), b2(count), b1(count), b0(count), 0, 0},
              wideTransferLength(count));
}

CdbRequest seek10WideCdb(uint32_t lba) { return make({0x2B, 0, b3(lba), b2(lba), b1(lba), b0(lba), 0, 0, 0, 0}, 0); }
CdbRequest readCddaCdb(uint32_t lba, uint32_t count) { return read12Layout(0xD8, lba, count, kBlockAudio); }

CdbRequest readCdAudioCdb(uint32_t lba, uint32_t count) {
  return make({0xBE, 0x04, 0, b2(lba), b1(lba), b0(lba), b2(count), b1(count), b0(count), 0x10, 0, 0},
              readTransferLength(count, kBlockAudio));
}

CdbRequest readCdCdb(uint8_t flags, uint32_t lba, uint32_t count, uint32_t blockSize) {
  return make({0xBE, 0, 0, b2(lba), b1(lba), b0(lba), b2(count), b1(count), b0(count), flags, 0, 0},
              readTransferLength(count, blockSize));
}

uint32_t ripSectorBytes(C2Choice c2, SubChoice sub) {
  const uint32_t c2Bytes = c2 == C2Choice::Pointers ? 294 : c2 == C2Choice::WithBlockErrors ? 296 : 0;
  const uint32_t subBytes = sub == SubChoice::RawPw ? 96 : sub == SubChoice::FormattedQ ? 16 : 0;
  return kBlockAudio + c2Bytes + subBytes;
}

namespace {

uint8_t ripFlags(C2Choice c2) { return static_cast<uint8_t>(0xF8 | (static_cast<uint8_t>(c2) << 1)); }

}  // namespace

CdbRequest readCdRipCdb(int32_t lba, uint32_t count, C2Choice c2, SubChoice sub, bool anyType) {
  const auto a = static_cast<uint32_t>(lba);
  return make({0xBE, static_cast<uint8_t>(anyType ? 0x00 : 0x04), b3(a), b2(a), b1(a), b0(a), b2(count), b1(count),
               b0(count), ripFlags(c2), static_cast<uint8_t>(sub), 0},
              readTransferLength(count, ripSectorBytes(c2, sub)));
}

CdbRequest readCdMsfRipCdb(int32_t lba, uint32_t count, C2Choice c2, SubChoice sub, bool anyType) {
  // Absolute time counts from 00:02:00 at LBA 0; a lead-in LBA down to -150 stays positive.
  const auto msf = [](int32_t at, uint8_t* out) {
    const int32_t t = std::max(0, at + 150);
    out[0] = static_cast<uint8_t>(t / 4500);
    out[1] = static_cast<uint8_t>(t / 75 % 60);
    out[2] = static_cast<uint8_t>(t % 75);
  };
  uint8_t from[3], to[3];
  msf(lba, from);
  msf(lba + static_cast<int32_t>(count), to);
  return make({0xB9, static_cast<uint8_t>(anyType ? 0x00 : 0x04), 0, from[0], from[1], from[2], to[0], to[1], to[2],
               ripFlags(c2), static_cast<uint8_t>(sub), 0},
              readTransferLength(count, ripSectorBytes(c2, sub)));
}

CdbRequest readCddaRipCdb(int32_t lba, uint32_t count, SubChoice sub) {
  const auto a = static_cast<uint32_t>(lba);
  const uint8_t code = sub == SubChoice::FormattedQ ? 1 : sub == SubChoice::RawPw ? 2 : 0;
  return make({0xD8, 0, b3(a), b2(a), b1(a), b0(a), b3(count), b2(count), b1(count), b0(count), code, 0},
              readTransferLength(count, ripSectorBytes(C2Choice::None, sub)));
}

CdbRequest setReadSpeedCdb(uint16_t kbPerSecond) {
  return make({0xBB, 0, b1(kbPerSecond), b0(kbPerSecond), 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, 0);
}

CdbRequest modeSensePage2aCdb() { return make({0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 0x1E, 0}, 30); }

CdbRequest modeSense6PageCdb(uint8_t page, uint8_t pageLength) {
  const uint32_t allocation = std::min<uint32_t>(0xFF, pageLength + kModeHeader6 + kBlockDescriptor);
  return make({0x1A, 0, page, 0, b0(allocation), 0}, allocation);
}

CdbRequest modeSense10PageCdb(uint8_t page, uint16_t pageLength) {
  const uint32_t allocation = std::min<uint32_t>(0xFFFF, pageLength + kModeHeader10 + kBlockDescriptor);
  return make({0x5A, 0, page, 0, 0, 0, 0, b1(allocation), b0(allocation), 0}, allocation);
}

CdbRequest modeSelect10Cdb() { return make({0x55, 0x10, 0, 0, 0, 0, 0, 0, 0x10, 0}, 16); }
CdbRequest modeSelect6Cdb() { return make({0x15, 0, 0, 0, 0x0C, 0}, 12); }
CdbRequest stopUnitCdb() { return make({0x1B, 0, 0, 0, 0, 0}, 0); }

CdbRequest getConfigurationCdb(FeatureRequest rt, uint16_t startingFeature, uint16_t allocationLength) {
  return make({0x46, static_cast<uint8_t>(static_cast<uint8_t>(rt) & 0x03), b1(startingFeature), b0(startingFeature),
               0, 0, 0, b1(allocationLength), b0(allocationLength), 0},
              allocationLength);
}

CdbRequest readDiscStructureCdb(uint8_t mediaType, uint32_t address, uint8_t layer, uint8_t format,
                                uint16_t allocationLength) {
  return make({0xAD, static_cast<uint8_t>(mediaType & 0x0F), b3(address), b2(address), b1(address), b0(address),
               layer, format, b1(allocationLength), b0(allocationLength), 0, 0},
              allocationLength);
}

CdbRequest getPerformanceCdb(uint32_t startLba, uint16_t maximumDescriptors) {
  return make({0xAC, 0x10, b3(startLba), b2(startLba), b1(startLba), b0(startLba), 0, 0, b1(maximumDescriptors),
               b0(maximumDescriptors), 0x00, 0},
              kPerformanceHeader + kPerformanceDescriptor * uint32_t{maximumDescriptors});
}

CdbRequest setStreamingCdb() {
  return make({0xB6, 0, 0, 0, 0, 0, 0, 0, 0x00, 0, kStreamingDescriptor, 0}, kStreamingDescriptor);
}

std::vector<uint8_t> streamingPerformanceList(uint32_t endLba, uint32_t kbPerSecond) {
  constexpr uint32_t kMilliseconds = 1000;
  std::vector<uint8_t> list(kStreamingDescriptor, 0);
  const auto put = [&](size_t at, uint32_t v) {
    list[at] = b3(v);
    list[at + 1] = b2(v);
    list[at + 2] = b1(v);
    list[at + 3] = b0(v);
  };
  put(8, endLba);
  put(12, kbPerSecond);
  put(16, kMilliseconds);
  put(20, kbPerSecond);
  put(24, kMilliseconds);
  return list;
}

std::vector<uint8_t> blockModeList10(int mode) {
  BlockModeDescriptor d{};
  if (!descriptorFor(mode, d)) return {};
  return modeSelect10List(d.density, static_cast<uint16_t>(d.length));
}

std::vector<uint8_t> blockModeList6(int mode) {
  BlockModeDescriptor d{};
  if (!descriptorFor(mode, d)) return {};
  return modeSelect6List(d.density, static_cast<uint16_t>(d.length));
}

std::vector<uint8_t> modeSelect6List(uint8_t density, uint16_t blockLength) {
  std::vector<uint8_t> list{0, 0, 0, 0x08};
  appendDescriptor(list, density, blockLength);
  return list;
}

std::vector<uint8_t> modeSelect10List(uint8_t density, uint16_t blockLength) {
  std::vector<uint8_t> list{0x00, 0x10, 0, 0, 0, 0, 0x00, 0x08};
  appendDescriptor(list, density, blockLength);
  return list;
}

}  // namespace tmx
