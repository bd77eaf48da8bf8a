// The names of the commands the program sends, for messages about one that
// failed before it reached the drive.
//
//   commandName(0xD8);  // "READ CD-DA (D8h)"
//   commandName(0xA3);  // "command A3h": not one of ours
#pragma once

#include <cstdint>
#include <string>

namespace tmx {

std::string commandName(uint8_t opcode);

}  // namespace tmx
