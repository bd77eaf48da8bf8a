#include "drive/command_names.h"

#include <cstdio>

namespace tmx {
namespace {

const char* knownName(uint8_t opcode) {
  switch (opcode) {
    case 0x00: return "TEST UNIT READY";
    case 0x03: return "REQUEST SENSE";
    case 0x0B: return "SEEK(6)";
    case 0x12: return "INQUIRY";
    case 0x15: return "MODE SELECT(6)";
    case 0x1A: return "MODE SENSE(6)";
    case 0x1B: return "START STOP UNIT";
    case 0x25: return "READ CAPACITY";
    case 0x28: return "READ(10)";
    case 0x2B: return "SEEK(10)";
    case 0x43: return "READ TOC";
    case 0x46: return "GET CONFIGURATION";
    case 0x51: return "READ DISC INFORMATION";
    case 0x55: return "MODE SELECT(10)";
    case 0x5A: return "MODE SENSE(10)";
    case 0xA8: return "READ(12)";
    case 0xAC: return "GET PERFORMANCE";
    case 0xAD: return "READ DISC STRUCTURE";
    case 0xB6: return "SET STREAMING";
    case 0xBB: return "SET CD SPEED";
    case 0xBE: return "READ CD";
    case 0xD8: return "READ CD-DA";
    default: return nullptr;
  }
}

}  // namespace

std::string commandName(uint8_t opcode) {
  char code[16];
  std::snprintf(code, sizeof code, "%02Xh", opcode);
  const char* name = knownName(opcode);
  return name ? std::string(name) + " (" + code + ")" : std::string("command ") + code;
}

}  // namespace tmx
