// Small helpers of the report's lines: printf-style text, and the line of a
// command that failed.
#pragma once

#include <cstdio>
#include <string>

namespace tmx {

class DriveCommands;

template <typename... Args>
std::string formatLine(const char* pattern, Args... args) {
  char text[512];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

inline const char* yesNo(bool value) { return value ? "yes" : "no"; }

// The cause in words when the drive never answered, the request failed on the
// way or was not sent; else the line the sense code chooses.
std::string failureLine(DriveCommands& commands, const std::string& text);

}  // namespace tmx
