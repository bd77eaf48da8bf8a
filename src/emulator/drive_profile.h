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

  std::bitset<256> rejectedOpcodes;
  // Extra time a refused or unknown opcode takes to come back as ILLEGAL
  // REQUEST: behind some hosts (Linux ATAPI) a rejection goes through error
  // handling and costs tens of milliseconds.
  int64_t rejectionNs = 0;
};

}  // namespace tmx::emu
