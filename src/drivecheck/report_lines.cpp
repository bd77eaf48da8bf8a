#include "drivecheck/report_lines.h"

#include <cstdio>
#include <cstring>

#include "drive/drive_failure.h"
#include "platform/atomic_file.h"
#include "results/safe_text.h"

namespace tmx {
namespace {

constexpr size_t kSeparatorWidth = 118;
constexpr size_t kColonColumn = 22;

}  // namespace

std::string separatorLine() { return std::string(kSeparatorWidth, '-'); }

std::string errorLineText(const std::string& text, uint32_t senseCode) {
  const uint32_t masked = maskedSenseCode(senseCode);
  if (masked == 0x052000) return "  Command not supported";
  if (masked >= 0x023A00 && masked <= 0x023A02) return "  No disc inserted";
  if (masked == 0x056400) return "  Command can not be used for this type of disc";
  char code[32];
  std::snprintf(code, sizeof code, " (code %06X)", senseCode & 0xFFFFFF);
  return text + code;
}

std::string discTypeLine(const TocTrackCounts& tracks, int discType) {
  std::string line = "Type         : ";
  if (tracks.tracks() == 0) return line + "unknown";
  if (tracks.data == 0) return line + "audio";
  line += tracks.audio == 0 ? "data" : "mixed";
  if (discType == 0x00) line += " mode 1";
  if (discType == 0x10) line += " CD-i";
  if (discType == 0x20) line += " mode 2";
  return line;
}

void DriveCheckReport::addReportLine(const std::string& raw) {
  // Lines carry the drive's own texts: made safe for every terminal and file.
  const std::string text = safeText(raw);
  lines_.push_back(text);
  if (!text.starts_with('-') && text.size() > widest_) widest_ = text.size();
  if (onLine_) onLine_(text);
}

std::string realignLogLine(const std::string& line) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return line;
  std::string out = line.substr(0, std::min(colon, kColonColumn));
  if (colon < kColonColumn) out.append(kColonColumn - colon, ' ');
  out += line.substr(colon);
  return out;
}

std::string logLine(const std::string& line, size_t widest) {
  return line.starts_with('-') ? std::string(widest, '-') : realignLogLine(line);
}

std::string driveCheckLogText(const std::vector<std::string>& lines, size_t widest) {
  std::string text;
  for (const std::string& line : lines) text += logLine(line, widest) + "\n";
  return text;
}

int saveDriveCheckLog(const std::string& path, const std::vector<std::string>& lines, size_t widest,
                      const WriteControl& control) {
  return writeFileAtomically(path, driveCheckLogText(lines, widest), control);
}

std::string logSaveFailureStatus(const std::string& path, int error) {
  return std::string(kLogSaveFailedText) + ": " + path + ": " + std::strerror(error);
}

}  // namespace tmx
