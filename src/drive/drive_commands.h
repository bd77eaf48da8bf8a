// The MMC (and a few older or vendor) commands the program sends. Each builds
// its CDB, sends it through the transport and returns the request's status
// (1 = success); LastSenseCode of the transport tells why one failed.
//
// Read operations accept at most 25 blocks per request; above that the CDB
// still carries the count but no data may be transferred, so the read fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drive/aspi_transport.h"
#include "drive/cdb_builders.h"
#include "drive/drive_address.h"
#include "drive/reply_parsers.h"

namespace tmx {

class DriveCommands {
 public:
  explicit DriveCommands(AspiTransport& transport) : transport_(transport) {}

  AspiTransport& transport() { return transport_; }
  uint32_t LastSenseCode() const { return transport_.LastSenseCode(); }

  // Identification and probe.
  AspiStatus TestUnitReady(DriveAddress drive);
  AspiStatus RequestSense(DriveAddress drive, uint8_t* buffer18);
  // True only for status 1 and peripheral byte exactly 05h. The texts are
  // filled whatever the status (empty when the reply left them zero).
  bool Inquiry(DriveAddress drive, InquiryTexts& texts);
  AspiStatus ReadCapacity(DriveAddress drive, uint8_t* buffer8);
  AspiStatus ReadToc(DriveAddress drive, int format, uint16_t allocationLength, uint8_t* buffer);

  AspiStatus ReadTocPmaAtip(DriveAddress drive, int format, uint8_t trackOrSession, uint16_t allocationLength,
                            uint8_t* buffer);
  AspiStatus ReadDiscInformation(DriveAddress drive, uint16_t allocationLength, uint8_t* buffer);
  AspiStatus Seek6(DriveAddress drive, uint32_t lba);
  AspiStatus Seek10(DriveAddress drive, uint32_t lba);
  // SEEK(6), then SEEK(10) when the drive refused the first (commandRefused).
  AspiStatus Seek(DriveAddress drive, uint32_t lba);
  AspiStatus Read10(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer);
  AspiStatus Read10Sized(DriveAddress drive, uint32_t lba, uint32_t count, uint32_t blockSize, uint8_t* buffer);
  AspiStatus Read12(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer);
  // DVD and BD: all 32 bits of the LBA, up to 32 blocks of 2048 bytes.
  AspiStatus Read10Wide(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer);
  AspiStatus Read12Wide(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer);
  AspiStatus Seek10Wide(DriveAddress drive, uint32_t lba);
  AspiStatus ReadCdda(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer);
  AspiStatus ReadCdAudio(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer);
  AspiStatus ReadCd(DriveAddress drive, uint8_t flags, uint32_t lba, uint32_t count, uint32_t blockSize,
                    uint8_t* buffer);
  AspiStatus SetReadSpeed(DriveAddress drive, uint16_t kbPerSecond);
  // Maximum and current read speed in KB/s from page 2Ah, set whatever the
  // status (0 when the reply does not hold them).
  AspiStatus ModeSenseSpeeds(DriveAddress drive, int& maximumSpeed, int& currentSpeed);
  // MODE SENSE(6) or (10) of one page (current values; block descriptors
  // allowed) with room for `pageLength` bytes of it. `page` gets the page's
  // bytes (findModePage) when the command succeeded and the reply holds it,
  // else ends empty.
  AspiStatus ModeSensePage(DriveAddress drive, ModeHeader header, uint8_t pageCode, uint8_t pageLength,
                           std::vector<uint8_t>& page);
  // Flag = 10h when the drive can return C2 error pointers, else 0.
  AspiStatus ModeSenseC2Support(DriveAddress drive, int& flag);
  // MODE SELECT(10) of the block mode's descriptor, MODE SELECT(6) when that
  // fails. An unknown mode sends nothing and returns -1.
  AspiStatus ModeSelectBlockMode(DriveAddress drive, int mode);
  AspiStatus ModeSelect6(DriveAddress drive, uint8_t density, uint16_t blockLength);
  // MODE SELECT(10) of a descriptor with this density and block length,
  // MODE SELECT(6) when that fails (drives know one or the other).
  AspiStatus ModeSelectBlockLength(DriveAddress drive, uint8_t density, uint16_t blockLength);
  AspiStatus StopUnit(DriveAddress drive);

  // DVD and BD. Replies go to `buffer`, which must hold the allocation length
  // (GET PERFORMANCE: 8 + 16 x maximumDescriptors bytes).
  AspiStatus GetConfiguration(DriveAddress drive, FeatureRequest rt, uint16_t startingFeature,
                              uint16_t allocationLength, uint8_t* buffer);
  AspiStatus ReadDiscStructure(DriveAddress drive, uint8_t mediaType, uint8_t layer, uint8_t format,
                               uint16_t allocationLength, uint8_t* buffer);
  AspiStatus GetPerformance(DriveAddress drive, uint32_t startLba, uint16_t maximumDescriptors, uint8_t* buffer);
  // The read speed over the whole disc (LBA 0 to `endLba`) in KB/s of 1000 bytes.
  AspiStatus SetStreaming(DriveAddress drive, uint32_t endLba, uint32_t readKBps);

  // Sends a built request with the caller's buffer.
  AspiStatus send(DriveAddress drive, const CdbRequest& request, uint8_t* buffer);

 private:
  AspiTransport& transport_;
};

}  // namespace tmx
