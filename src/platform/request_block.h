// The SCSI manager's request blocks, field by field in their published order.
// On a 64-bit build the pointer fields are 8 bytes wide, so the blocks are
// larger than on the original 32-bit platform; nothing depends on their size.
#pragma once

#include <cstdint>

namespace tmx {

class CompletionEvent;

struct SrbExecScsiCmd {
  uint8_t SRB_Cmd = 0;
  uint8_t SRB_Status = 0;
  uint8_t SRB_HaId = 0;
  uint8_t SRB_Flags = 0;
  uint32_t SRB_Hdr_Rsvd = 0;
  uint8_t SRB_Target = 0;
  uint8_t SRB_Lun = 0;
  uint16_t SRB_Rsvd1 = 0;
  uint32_t SRB_BufLen = 0;
  uint8_t* SRB_BufPointer = nullptr;
  uint8_t SRB_SenseLen = 0;
  uint8_t SRB_CDBLen = 0;
  uint8_t SRB_HaStat = 0;
  uint8_t SRB_TargStat = 0;
  CompletionEvent* SRB_PostProc = nullptr;
  uint32_t SRB_Rsvd2 = 0;
  uint8_t SRB_Rsvd3[16] = {};
  uint8_t CDBByte[16] = {};
  uint8_t SenseArea[16] = {};
};

struct SrbHaInquiry {
  uint8_t SRB_Cmd = 0;
  uint8_t SRB_Status = 0;
  uint8_t SRB_HaId = 0;
  uint8_t SRB_Flags = 0;
  uint32_t SRB_Hdr_Rsvd = 0;
  uint8_t HA_Count = 0;
  uint8_t HA_SCSI_ID = 0;
  uint8_t HA_ManagerId[16] = {};
  uint8_t HA_Identifier[16] = {};
  uint8_t HA_Unique[16] = {};
  uint16_t HA_Rsvd1 = 0;
};

}  // namespace tmx
