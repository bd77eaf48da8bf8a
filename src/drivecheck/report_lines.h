// The drive check's list of lines: the texts it adds, the widest line seen
// (state the application owns and keeps for the whole run), the error line
// chosen by a sense code, the disc type line, and the aligned log file made
// from the lines.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "drive/reply_parsers.h"
#include "platform/atomic_file.h"

namespace tmx {

// 118 '-' characters.
std::string separatorLine();

// "  Command not supported", "  No disc inserted", "  Command can not be used
// for this type of disc" for their sense codes, else "<text> (code %06X)".
std::string errorLineText(const std::string& text, uint32_t senseCode);

// "Type         : data mode 1" and the like, from tocTrackCounts and
// discTypeFromFullToc.
std::string discTypeLine(const TocTrackCounts& tracks, int discType);

class DriveCheckReport {
 public:
  // `widestLineLength` is the program's, never reset by a report; `onLine`
  // (optional) sees every line as it is added.
  explicit DriveCheckReport(size_t& widestLineLength, std::function<void(const std::string&)> onLine = {})
      : widest_(widestLineLength), onLine_(std::move(onLine)) {}

  void addReportLine(const std::string& text);
  void addSeparator() { addReportLine(separatorLine()); }
  void addErrorLine(const std::string& text, uint32_t senseCode) { addReportLine(errorLineText(text, senseCode)); }

  const std::vector<std::string>& lines() const { return lines_; }
  size_t widestLineLength() const { return widest_; }

  // A stop request the builder looks at between commands.
  void setCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }
  bool cancelled() const { return cancel_ != nullptr && cancel_->load(); }

 private:
  const std::atomic<bool>* cancel_ = nullptr;
  size_t& widest_;
  std::function<void(const std::string&)> onLine_;
  std::vector<std::string> lines_;
};

// Moves the first ':' of a line to position 22: label characters at 22 or
// later are dropped, shorter labels are padded with blanks before the colon.
// A line without ':' is returned unchanged.
std::string realignLogLine(const std::string& line);

// A line as the log file has it: a separator line becomes `widest` '-'
// characters, every other line is realigned.
std::string logLine(const std::string& line, size_t widest);

// The log file: every line as logLine makes it, each ending with "\n".
std::string driveCheckLogText(const std::vector<std::string>& lines, size_t widest);

// Writes the log atomically. Returns 0 or the errno of the failure.
int saveDriveCheckLog(const std::string& path, const std::vector<std::string>& lines, size_t widest,
                      const WriteControl& control = {});

// The message box of a failed save, and the status line that says why.
inline constexpr const char* kLogSaveFailedText = "Unable to creating log file";
inline constexpr const char* kLogSaveFailedTitle = "DriveCheck";
std::string logSaveFailureStatus(const std::string& path, int error);

}  // namespace tmx
