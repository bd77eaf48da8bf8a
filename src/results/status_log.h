// The status list: every time-stamped line added since the program started,
// in order; nothing removes them. Only the main thread adds lines.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "drive/status_sink.h"
#include "platform/clock.h"
#include "results/file_messages.h"

namespace tmx {

// "[%H:%M:%S]   text": the time of day, then three blanks.
std::string formatStatusLine(const std::tm& localTime, std::string_view text);

class StatusLog final : public StatusSink {
 public:
  explicit StatusLog(Clock& clock) : clock_(clock) {}

  // Stamps the text with the clock's local time of day and appends it, made
  // safe (safeText).
  void addStatusLine(std::string_view text) override;
  const std::vector<std::string>& lines() const { return lines_; }

  // Called with each new line, after it is appended (the window scrolls to
  // it, the headless front end prints it).
  void setObserver(std::function<void(const std::string&)> observer) { observer_ = std::move(observer); }

 private:
  Clock& clock_;
  std::vector<std::string> lines_;
  std::function<void(const std::string&)> observer_;
};

// The saved text: every line followed by CR LF.
std::string statusLogText(const std::vector<std::string>& lines);
// Writes statusLogText. On failure the error is "Error saving file" and an
// existing file is left as it was.
FileStatus saveStatusLog(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace tmx
