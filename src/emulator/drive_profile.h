// What kind of drive an emulated drive is: identity, the media it reads,
// rotation, buffer, interface, seek and spindle figures, audio behaviour and
// the opcodes it refuses.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace tmx::emu {

enum class Rotation { Clv, Cav, Pcav, Zclv };

// Z-CLV: constant speed from `fromLba` up to the next zone.
struct SpeedZone {
  int32_t fromLba = 0;
  double speedX = 1;
};

// Sub-channel data a read command can add to each sector, as a bit set.
inline constexpr uint8_t kSubRawPw = 1;       // 96 bytes, P-W interleaved
inline constexpr uint8_t kSubFormattedQ = 2;  // 16 bytes of Q

// What an audio ripper asks of a drive beyond reading: defaults keep the
// plain drive (no cache past the read-ahead, exact C2 pointers, no
// sub-channel, nothing outside the disc, speed settings obeyed).
struct RippingTraits {
  // Raw sectors (audio, or data read with headers) the host read, kept after
  // the read moves on; 0: only the read-ahead of the last read.
  uint32_t cacheBytes = 0;
  // A read at least this many sectors from every cached sector empties the
  // cache; 0: nothing but its size pushes sectors out.
  int32_t cacheFlushSectors = 0;
  bool c2BlockErrorByte = true;  // READ CD C2 code 2 (296 bytes) accepted
  int c2ShiftBytes = 0;          // C2 bits land this many bytes after the byte they flag
  // Of the damaged sectors, the percentage whose bad bytes go unflagged, and
  // the percentage flagged but delivered right (chosen per sector by hash).
  int c2MissPercent = 0;
  int c2FalsePercent = 0;
  // Sub-channel per read command: READ CD (BEh), READ CD MSF (B9h), D8h.
  uint8_t subReadCd = 0, subReadCdMsf = 0, subReadCdda = 0;
  bool readCdMsf = false;  // READ CD MSF known at all
  // Sectors readable before LBA 0 and past the last one (READ CD, READ CD MSF, D8h).
  int leadInSectors = 0;
  int leadOutSectors = 0;
  bool ignoresSpeed = false;  // SET CD SPEED accepted and reported, the spindle stays at the maximum
  double speedCapX = 0;       // numeric speed requests spin at most this; FFFFh is still the maximum
};

struct DriveProfile {
  // INQUIRY texts; padded with blanks (or cut) to 8, 16 and 4 characters.
  std::string vendor = "TACHOEMU";
  std::string product = "CD-ROM";
  std::string revision = "1.00";

  // GET CONFIGURATION: the profiles the drive lists, in its order (see
  // drive_classes.h). Empty: the drive refuses the command, as CD drives
  // before MMC-3 do, and reads CDs only.
  std::vector<uint16_t> mmcProfiles;
  // The Real Time Streaming feature: GET PERFORMANCE and SET STREAMING.
  bool streaming = false;
  // The Drive Serial Number feature, when not empty.
  std::string serialNumber;

  // Speeds are in X of the medium the drive holds: 75 sectors/s for CD,
  // 1,385,000 bytes/s for DVD, 4,495,500 for BD.
  Rotation rotation = Rotation::Cav;
  // Rated maximum in X. CAV: reached at the rim of a full disc. P-CAV: the
  // cap. CLV: everywhere. Z-CLV: the last zone.
  double maxSpeedX = 52;
  // P-CAV: the speed the constant spindle would reach at the rim, above the cap.
  double pcavRimSpeedX = 0;
  std::vector<SpeedZone> zones;  // Z-CLV only; LBAs of layer 0, repeated by radius on layer 1
  // Speeds SET CD SPEED (and SET STREAMING) can select, in X, ascending; the
  // maximum is implied.
  std::vector<int> speedSteps{1, 2, 4, 8, 16, 24, 32, 40, 48};

  uint32_t bufferBytes = 2 * 1024 * 1024;
  double interfaceBytesPerSecond = 33.3e6;  // ATAPI UDMA2
  int64_t commandOverheadNs = 120'000;

  double seekSettleMs = 8;
  double seekStrokeMs = 135;  // added in full over the whole radius, by the square root of the fraction
  double spindleAccelRpmPerS = 60'000;  // speed changes while seeking
  double layerJumpMs = 0;               // focus jump between the layers of a dual-layer disc
  double spinUpBaseMs = 250;            // motor start and focus before acceleration
  double spinUpAccelRpmPerS = 5'500;    // from standstill
  double spinDownRpmPerS = 9'000;       // braking
  int64_t idleSpinDownMs = 0;           // 0: never spins down on its own

  bool accurateStream = true;
  int audioJitterFrames = 0;  // inaccurate drives: a new audio stream starts up to this many frames off
  bool c2Pointers = true;
  bool readsCdda = true;      // READ CD with sector type CD-DA works
  bool raw2352Read10 = true;  // READ(10) after MODE SELECT to 2352-byte blocks works

  RippingTraits ripping;

  std::bitset<256> rejectedOpcodes;
  // Extra time a refused or unknown opcode takes to come back as ILLEGAL
  // REQUEST: behind some hosts (Linux ATAPI) a rejection goes through error
  // handling and costs tens of milliseconds.
  int64_t rejectionNs = 0;
};

}  // namespace tmx::emu
