// Codes of the SCSI manager interface: request commands, flags and the status
// bytes a request ends with (1 = done without error).
#pragma once

#include <cstdint>

namespace tmx::aspi {

// SRB_Cmd
inline constexpr uint8_t kScHaInquiry = 0x00;
inline constexpr uint8_t kScExecScsiCmd = 0x02;

// SRB_Flags
inline constexpr uint8_t kDirIn = 0x08;
inline constexpr uint8_t kDirOut = 0x10;
inline constexpr uint8_t kEventNotify = 0x40;

// SRB_Status
inline constexpr uint8_t kPending = 0x00;
inline constexpr uint8_t kComplete = 0x01;
inline constexpr uint8_t kAborted = 0x02;
inline constexpr uint8_t kError = 0x04;  // completed with error; sense data valid
inline constexpr uint8_t kInvalidCommand = 0x80;  // the host failed the request (timeout, transfer)
inline constexpr uint8_t kInvalidHostAdapter = 0x81;
inline constexpr uint8_t kNoDevice = 0x82;
inline constexpr uint8_t kInvalidSrb = 0xE0;
inline constexpr uint8_t kNoAdapters = 0xE8;

// SRB_HaStat: why the host failed a request.
inline constexpr uint8_t kHaOk = 0x00;
inline constexpr uint8_t kHaTimeout = 0x09;
inline constexpr uint8_t kHaSelectionTimeout = 0x11;
inline constexpr uint8_t kHaDataOverrun = 0x12;
inline constexpr uint8_t kHaBusFree = 0x13;
inline constexpr uint8_t kHaPhaseError = 0x14;
// Our own, beyond the interface's codes: the kernel's SCSI command filter kept
// the command from the drive. SG_IO through a block node (/dev/sr0) lets a
// user who is not root send only the commands on the kernel's list.
inline constexpr uint8_t kHaRefusedByKernel = 0x30;

// SCSI status byte (SRB_TargStat).
inline constexpr uint8_t kTargetGood = 0x00;
inline constexpr uint8_t kTargetCheckCondition = 0x02;
inline constexpr uint8_t kTargetBusy = 0x08;

}  // namespace tmx::aspi
