// CDB builders: each returns the command bytes (unnamed bytes 0, multi-byte
// fields big-endian, LBAs as 24 bits) and the transfer length to send with it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tmx {

struct CdbRequest {
  std::array<uint8_t, 12> bytes{};
  uint32_t transferLength = 0;
};

inline constexpr int kMaxBlocksPerRead = 25;
// DVD and BD reads move whole ECC blocks: 16 sectors of DVD, 32 of BD.
inline constexpr int kMaxBlocksPerWideRead = 32;
inline constexpr uint32_t kBlockData = 2048;
inline constexpr uint32_t kBlockAudio = 2352;
inline constexpr uint32_t kBlockAudioC2 = 2646;

// count x blockSize when count <= 25, else 0: such a read is sent anyway and
// fails, since nothing may reach a buffer sized for 25 blocks.
uint32_t readTransferLength(uint32_t count, uint32_t blockSize);

CdbRequest testUnitReadyCdb();
CdbRequest requestSenseCdb();
CdbRequest inquiryCdb();
CdbRequest readCapacityCdb();
// READ TOC with the format in bits 7-6 of byte 9 (the older placement).
CdbRequest readTocCdb(int format, uint16_t allocationLength);
// READ TOC/PMA/ATIP with the format in byte 2 (the MMC placement).
CdbRequest readTocPmaAtipCdb(int format, uint8_t trackOrSession, uint16_t allocationLength);
CdbRequest readDiscInformationCdb(uint16_t allocationLength);
CdbRequest seek6Cdb(uint32_t lba);
CdbRequest seek10Cdb(uint32_t lba);
CdbRequest read10Cdb(uint32_t lba, uint32_t count, uint32_t blockSize = kBlockData);
CdbRequest read12Cdb(uint32_t lba, uint32_t count);
CdbRequest readCddaCdb(uint32_t lba, uint32_t count);
// READ(10), READ(12) and SEEK(10) with all 32 bits of the LBA (bytes 2-5), for
// DVD and BD, whose LBAs outgrow 24 bits (a BD-50 ends at 174E7FFh); reads of
// 2048-byte blocks, up to kMaxBlocksPerWideRead.
CdbRequest read10WideCdb(uint32_t lba, uint32_t count);
CdbRequest read12WideCdb(uint32_t lba, uint32_t count);
CdbRequest seek10WideCdb(uint32_t lba);
CdbRequest readCdAudioCdb(uint32_t lba, uint32_t count);
CdbRequest readCdCdb(uint8_t flags, uint32_t lba, uint32_t count, uint32_t blockSize);
CdbRequest setReadSpeedCdb(uint16_t kbPerSecond);
// MODE SENSE(10) of page 2Ah, block descriptors disabled, 30 bytes.
CdbRequest modeSensePage2aCdb();
// MODE SENSE(6) and (10) of one page, current values, with room for the
// header and one block descriptor beside `pageLength` bytes of page.
CdbRequest modeSense6PageCdb(uint8_t page, uint8_t pageLength);
CdbRequest modeSense10PageCdb(uint8_t page, uint16_t pageLength);
CdbRequest modeSelect10Cdb();
CdbRequest modeSelect6Cdb();
CdbRequest stopUnitCdb();

// GET CONFIGURATION: RT in bits 1-0 of byte 1 (all features from the starting
// one, the current ones, or the starting one alone), starting feature in
// bytes 2-3, allocation length in bytes 7-8.
enum class FeatureRequest : uint8_t { All = 0, Current = 1, One = 2 };
CdbRequest getConfigurationCdb(FeatureRequest rt, uint16_t startingFeature, uint16_t allocationLength);
// READ DISC STRUCTURE: media type in the low nibble of byte 1 (0 DVD, 1 BD),
// address in bytes 2-5, layer in byte 6, format in byte 7, allocation length
// in bytes 8-9.
CdbRequest readDiscStructureCdb(uint8_t mediaType, uint32_t address, uint8_t layer, uint8_t format,
                                uint16_t allocationLength);
// GET PERFORMANCE type 00h, nominal read performance within 10% (byte 1 =
// 10h), from `startLba` (bytes 2-5), at most `maximumDescriptors` (bytes
// 8-9), with room for the 8-byte header and that many 16-byte descriptors.
CdbRequest getPerformanceCdb(uint32_t startLba, uint16_t maximumDescriptors);
// SET STREAMING of one performance descriptor: type 00h in byte 8, parameter
// list length 28 in bytes 9-10.
CdbRequest setStreamingCdb();
// The performance descriptor of SET STREAMING: LBA 0 to `endLba` (bytes 4-11),
// read and write `kbPerSecond` KB (bytes 12-15, 20-23) per 1000 ms (bytes
// 16-19, 24-27).
std::vector<uint8_t> streamingPerformanceList(uint32_t endLba, uint32_t kbPerSecond);

// The reads of the ripping check: READ CD (BEh) and READ CD MSF (B9h) of whole
// 2352-byte sectors (byte 9: sync, header, user data, EDC/ECC, then the C2
// choice in bits 2-1) with a sub-channel choice in byte 10, and the vendor
// CD-DA read (D8h) with its sub-code in byte 10. LBAs are signed, so a read
// can start in the lead-in (READ CD: all 32 bits in bytes 2-5; READ CD MSF:
// start and end times, binary M, S, F in bytes 3-5 and 6-8, end exclusive).
// `anyType`: sector type 0 (any) rather than CD-DA in byte 1.
enum class C2Choice : uint8_t { None = 0, Pointers = 1, WithBlockErrors = 2 };  // +294, +296 bytes
enum class SubChoice : uint8_t { None = 0, RawPw = 1, FormattedQ = 2 };        // +96, +16 bytes
uint32_t ripSectorBytes(C2Choice c2, SubChoice sub);
CdbRequest readCdRipCdb(int32_t lba, uint32_t count, C2Choice c2, SubChoice sub, bool anyType);
CdbRequest readCdMsfRipCdb(int32_t lba, uint32_t count, C2Choice c2, SubChoice sub, bool anyType);
CdbRequest readCddaRipCdb(int32_t lba, uint32_t count, SubChoice sub);

enum BlockMode : int { BlockModeAudio = 0, BlockModeData = 1, BlockModeAudioC2 = 2 };

// MODE SELECT parameter lists for a block mode; empty for an unknown mode.
std::vector<uint8_t> blockModeList10(int mode);
std::vector<uint8_t> blockModeList6(int mode);
// MODE SELECT(6) and (10) lists with an explicit density code and block length.
std::vector<uint8_t> modeSelect6List(uint8_t density, uint16_t blockLength);
std::vector<uint8_t> modeSelect10List(uint8_t density, uint16_t blockLength);

}  // namespace tmx
