// Where the drive probe and the engine add their time-stamped status lines.
// The status log model implements it; tests record the lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tmx {

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void addStatusLine(std::string_view text) = 0;
};

// Keeps the texts as given, for tests and for callers that print them later.
class RecordingStatusSink final : public StatusSink {
 public:
  void addStatusLine(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

}  // namespace tmx
