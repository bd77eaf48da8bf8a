// The engine's front end on a terminal: status lines go to stdout as they are
// added, progress to stderr when it is a terminal, message boxes to stderr,
// the yes/no question is answered by --yes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_host.h"
#include "results/status_log.h"

namespace tmx::cli {

// Where the progress line is drawn and the time it is throttled by: stderr and
// the monotonic clock, or a fake terminal and clock in tests.
struct ProgressTerminal {
  std::function<void(std::string_view)> write;
  std::function<int64_t()> nowNs;
  static ProgressTerminal standardError();
};

// The one-line progress display "[ 42%] last status line". Workers post a
// value for every read (thousands a second); the line is redrawn only when
// what it shows would change, and at most once per kMinRedrawNs, so a fast
// test does not flood the terminal.
class ProgressLine {
 public:
  static constexpr int64_t kMinRedrawNs = 100'000'000;

  explicit ProgressLine(ProgressTerminal terminal) : terminal_(std::move(terminal)) {}

  void update(int percent, std::string_view status);
  // Erases the line (before other output); the next update draws it afresh.
  void clear();
  bool shown() const { return shown_; }

 private:
  ProgressTerminal terminal_;
  bool shown_ = false;
  bool everDrawn_ = false;
  int64_t lastDrawNs_ = 0;
  std::string text_;  // what the line shows, or showed before it was cleared
};

class CliHost final : public EngineHost {
 public:
  CliHost(StatusLog& log, bool answerYes, bool showProgress,
          ProgressTerminal terminal = ProgressTerminal::standardError())
      : log_(log), answerYes_(answerYes), showProgress_(showProgress), progress_(std::move(terminal)) {}

  void addStatusLine(std::string_view text) override;
  void setProgress(int percent) override;
  void setStartCaption(std::string_view caption) override { caption_ = caption; }
  std::string startCaption() const override { return caption_; }
  void pushResultTexts() override {}
  void drawEndMarker(int) override {}
  void plotZoneSample(int, double) override {}
  void redrawGraph() override {}
  void markQualityBlock(int, int) override {}
  void messageBox(std::string_view text) override;
  bool askYesNo(std::string_view text) override;
  void stopReadinessPoll() override {}
  void startReadinessPoll() override {}

  const std::vector<std::string>& messages() const { return messages_; }
  // Clears the progress line before other output.
  void endProgress();

 private:
  StatusLog& log_;
  bool answerYes_;
  bool showProgress_;
  ProgressLine progress_;
  std::string caption_ = "Start";
  std::vector<std::string> messages_;
};

}  // namespace tmx::cli
